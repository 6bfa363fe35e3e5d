// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/help.h"

#include <QObject>
#include <QVariant>

namespace verbana {
namespace {

HelpViewer &viewer()
{
    static HelpViewer v;
    return v;
}

} // namespace

void showHelpTopic(int topic)
{
    if (viewer())
        viewer()(topic);
}

HelpViewer setHelpViewer(HelpViewer v)
{
    std::swap(viewer(), v);
    return v;
}

int helpTopicOf(const QObject *object)
{
    for (; object; object = object->parent()) {
        const QVariant topic = object->property(kHelpTopicProperty);
        if (topic.isValid())
            return topic.toInt();
    }
    return 0;
}

} // namespace verbana
