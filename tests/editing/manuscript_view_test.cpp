// SPDX-License-Identifier: GPL-3.0-or-later
// The manuscript view takes a large text copy in pieces: the first at
// once, the rest while the window goes on answering, the whole coming out
// as the text read in one go would, marks and all.
#include "editing/manuscript_view.h"
#include "platform/cp949.h"
#include "platform/files.h"
#include "richtext/richtext.h"

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace verbana::editing {
namespace {

TEST(ManuscriptViewTest, ALargeTextCopyComesInPiecesAndWholeWithItsMarks)
{
    // Line ends of every kind, a vertical tab, a line longer than a piece
    // (cut between characters), and the marked word only near the end.
    const QByteArray line = cp949::encode(QStringLiteral("태초에 하나님이 천지를 창조하시니라.")).bytes;
    QByteArray text;
    for (int i = 0; text.size() < 3 * ManuscriptView::kPiece; ++i)
        text += line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r") + (i % 7 == 0 ? "\v" : "");
    for (int i = 0; i < ManuscriptView::kPiece / line.size() + 2; ++i)
        text += line;
    text += "\r\n" + cp949::encode(QStringLiteral("마지막 줄의 소망")).bytes + "\r\n";
    QTextDocument whole;
    richtext::readPlainText(text, whole);

    // Read from the file as it is shown, and from memory.
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/sul1.txt");
    ASSERT_TRUE(files::writeWholeFile(path, text + QByteArray("\0not text", 9)));
    for (const bool fromFile : {true, false}) {
        ManuscriptView view;
        view.resize(400, 300);
        view.show();
        if (fromFile) {
            auto file = files::FileSystem::posix().open(path, files::OpenMode::ReadStored);
            ASSERT_TRUE(bool(file));
            view.showFile(std::move(file.value()), QStringLiteral("소망//"));
        } else {
            view.showText(text, QStringLiteral("소망//"));
        }
        EXPECT_TRUE(view.loading());
        EXPECT_LT(view.document()->characterCount(), whole.characterCount());
        EXPECT_TRUE(whole.toPlainText().startsWith(view.toPlainText()));
        EXPECT_EQ(view.textCursor().position(), 0);

        view.copyAll(); // while pieces are still to come
        EXPECT_TRUE(QApplication::clipboard()->text() == whole.toPlainText());

        QTRY_VERIFY(!view.loading());
        EXPECT_TRUE(view.toPlainText() == whole.toPlainText());
        const QTextBlock last = view.document()->lastBlock();
        const int at = int(last.text().indexOf(QStringLiteral("소망")));
        ASSERT_GE(at, 0);
        QTextCursor marked(last);
        marked.setPosition(last.position() + at + 1);
        EXPECT_EQ(marked.charFormat().foreground().color(), QColor(Qt::red));
        EXPECT_EQ(view.textCursor().position(), 0);

        // A new text stops the one coming in.
        view.showText(text);
        view.showText(line);
        EXPECT_FALSE(view.loading());
        EXPECT_EQ(view.toPlainText(), QStringLiteral("태초에 하나님이 천지를 창조하시니라."));
    }
}

} // namespace
} // namespace verbana::editing
