// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/help_key.h"

#include "platform/commands.h"
#include "platform/help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace verbana {
namespace {

class HelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const int topic = helpTopicOf(widget);
        if (topic <= 0)
            return false;
        runCommand([topic] { showHelpTopic(topic); });
        return true;
    }
};

} // namespace

void installHelpKey(QApplication &app)
{
    const QString name = QStringLiteral("verbanaHelpKey");
    if (app.findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
        return;
    auto *key = new HelpKey(&app);
    key->setObjectName(name);
    app.installEventFilter(key);
}

} // namespace verbana
