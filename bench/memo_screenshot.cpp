// SPDX-License-Identifier: GPL-3.0-or-later
// Takes the document editor's screenshot for docs/: a Korean manuscript
// with a centred bold title, a coloured Bible text and indented
// paragraphs, the cursor in an indented one so that the ruler shows its
// markers. Run by scripts/screenshots.sh:
//   memo_screenshot OUT.png
// With --rtf it saves the same manuscript as the editor's Save does (the
// RTF and, beside it, OUT.rtf.txt) for bench/memo_readers.sh:
//   memo_screenshot --rtf OUT.rtf
// With --edit it opens the editor on a manuscript as the manuscript page
// will, with the program's real dialogs, to try it by hand:
//   memo_screenshot --edit MANUSCRIPT.rtf TEXTCOPY.txt
#include "editing/memo_document.h"
#include "editing/tfmmemo.h"
#include "platform/dialog_prompter.h"
#include "platform/fonts.h"
#include "platform/paths.h"
#include "richtext/richtext.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>

using namespace verbana;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: memo_screenshot OUT.png\n");
        return 2;
    }
    installFontSubstitutions();
    QTemporaryDir home;
    paths::setProgramFolder(home.path());
    if (QString::fromLocal8Bit(argv[1]) == QStringLiteral("--edit") && argc > 3) {
        if (!qEnvironmentVariableIsEmpty("VERBANA_HOME"))
            paths::setProgramFolder(qEnvironmentVariable("VERBANA_HOME"));
        DialogPrompter dialogs;
        setPrompter(&dialogs);
        editing::editWithBuiltInEditor(nullptr, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), true);
        setPrompter(nullptr);
        return 0;
    }

    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("굴림체"), 10));
    QTextCursor c(&doc);
    QTextCharFormat title, text, verse, stress;
    title.setFontWeight(QFont::Bold);
    title.setFontPointSize(16);
    text.setFontPointSize(10);
    verse = text;
    verse.setForeground(QColor(0x80, 0x00, 0x00));
    verse.setFontItalic(true);
    stress = text;
    stress.setFontUnderline(true);
    stress.setFontWeight(QFont::Bold);
    QTextBlockFormat centred, indented;
    centred.setAlignment(Qt::AlignHCenter);
    editing::memo::applyIndents(indented, {15, 15, 0});
    c.setBlockFormat(centred);
    c.insertText(QStringLiteral("믿음의 시작"), title);
    c.insertBlock(centred);
    c.insertText(QStringLiteral("창세기 12:1-4"), verse);
    c.insertBlock(QTextBlockFormat());
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("1. 부르심에 응답하는 믿음"), stress);
    c.insertBlock(indented);
    c.insertText(QStringLiteral("아브람은 갈 바를 알지 못하고 나아갔습니다. 믿음은 모든 것을 알고 난 뒤에 "
                                "걷는 것이 아니라, 부르신 분을 신뢰하여 첫 걸음을 내딛는 것입니다."),
                 text);
    c.insertBlock(indented);
    c.insertText(QStringLiteral("\"너는 너의 고향과 친척과 아버지의 집을 떠나 내가 네게 보여 줄 땅으로 가라\""), verse);
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("2. 복의 통로가 되는 믿음"), stress);
    c.insertBlock(indented);
    c.insertText(QStringLiteral("하나님은 아브람에게 복을 주시고 그를 복의 근원이 되게 하셨습니다."), text);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    c.insertBlock(right);
    QTextCharFormat other = text;
    other.setFontFamilies({QStringLiteral("NanumMyeongjo")});
    other.setFontPointSize(12);
    c.insertText(QStringLiteral("아멘"), other);
    if (QString::fromLocal8Bit(argv[1]) == QStringLiteral("--rtf") && argc > 2) {
        const QString rtf = QString::fromLocal8Bit(argv[2]);
        return editing::memo::saveManuscript(doc, rtf, rtf + QStringLiteral(".txt")).ok() ? 0 : 1;
    }
    const QString path = home.filePath(QStringLiteral("sermon.rtf"));
    if (!richtext::writeRtfFile(doc, path).ok())
        return 1;

    editing::Tfmmemo editor;
    editor.loadDocument(path);
    editor.show();
    QTextCursor at(editor.textArea()->document()->findBlockByNumber(5));
    at.movePosition(QTextCursor::NextWord);
    editor.textArea()->setTextCursor(at);
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTimer::singleShot(800, [&] {
        editor.grab().save(out);
        editor.hide();
        app.quit();
    });
    return app.exec();
}
