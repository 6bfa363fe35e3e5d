// SPDX-License-Identifier: GPL-3.0-or-later
// The bundled help as built beside the program: a page for every topic a
// window asks for, and every link and picture of every page leads to a
// file that is there.
#include "settings/help_pages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

namespace verbana::settings {
namespace {

const QString kFolder = QStringLiteral(VERBANA_HELP_DIR);

TEST(HelpPages, EveryTopicHasItsPageAndEveryLinkAndPictureResolves)
{
    for (int topic : kHelpTopics)
        EXPECT_TRUE(QFileInfo::exists(kFolder + QLatin1Char('/') + topicPage(topic))) << topic;
    EXPECT_TRUE(QFileInfo::exists(kFolder + QLatin1Char('/') + QLatin1String(kAboutPage)));
    EXPECT_TRUE(QFileInfo::exists(kFolder + QLatin1Char('/') + QLatin1String(kContentsPage)));

    static const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
    static const QRegularExpression title(QStringLiteral("<title>[^<]+</title>"));
    const QStringList pages = QDir(kFolder).entryList({QStringLiteral("*.html")}, QDir::Files);
    EXPECT_GE(pages.size(), qsizetype(kHelpTopics.size()) + 2);
    int links = 0;
    for (const QString &page : pages) {
        QFile f(kFolder + QLatin1Char('/') + page);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(title.match(html).hasMatch()) << page.toStdString() << " has no title";
        for (auto it = ref.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            const QUrl url(target);
            if (!url.scheme().isEmpty())
                continue; // a page on the web
            const QString file = url.path();
            ++links;
            EXPECT_FALSE(file.isEmpty() || file.contains(QLatin1String(".."))) << target.toStdString();
            EXPECT_TRUE(QFileInfo(kFolder + QLatin1Char('/') + file).isFile())
                << page.toStdString() << " -> " << target.toStdString();
        }
    }
    EXPECT_GT(links, 100);
}

} // namespace
} // namespace verbana::settings
