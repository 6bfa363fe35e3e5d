// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialog_prompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

namespace verbana {
namespace {

// A message box with a button that goes on (the default) and one that does
// not (Esc); true when the first was chosen.
bool askTwoButtons(QMessageBox::Icon icon, const QString &caption, const QString &text, const QString &goOn,
                   const QString &stop, QWidget *parent)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(goOn, QMessageBox::AcceptRole);
    QPushButton *no = box.addButton(stop, QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace

PromptAnswer DialogPrompter::ask(const PromptRequest &request)
{
    PromptAnswer answer;
    QWidget *parent = parent_ ? parent_ : QApplication::activeWindow();
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QString caption = request.caption.isEmpty() ? QApplication::applicationDisplayName() : request.caption;
    switch (request.kind) {
    case PromptKind::Information:
    case PromptKind::Error: {
        QMessageBox box(request.kind == PromptKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                        caption, text, QMessageBox::NoButton, parent);
        box.addButton(QStringLiteral("확인"), QMessageBox::AcceptRole);
        box.exec();
        answer.accepted = true;
        break;
    }
    case PromptKind::Confirmation:
        answer.accepted = askTwoButtons(QMessageBox::Question, caption, text, QStringLiteral("예"),
                                        QStringLiteral("아니오"), parent);
        break;
    case PromptKind::InformationCancel:
        answer.accepted = askTwoButtons(QMessageBox::Information, caption, text, QStringLiteral("확인"),
                                        QStringLiteral("취소"), parent);
        break;
    case PromptKind::OpenFile: {
        const QString f = QFileDialog::getOpenFileName(parent, request.text, request.directory, request.filter);
        if (!f.isEmpty())
            answer.files << f;
        break;
    }
    case PromptKind::OpenFiles:
        answer.files = QFileDialog::getOpenFileNames(parent, request.text, request.directory, request.filter);
        break;
    case PromptKind::SaveFile: {
        const QString start = request.fileName.isEmpty() ? request.directory
                                                         : request.directory + QLatin1Char('/') + request.fileName;
        const QString f =
            QFileDialog::getSaveFileName(parent, request.text, start, request.filter, &answer.filter);
        if (!f.isEmpty())
            answer.files << f;
        break;
    }
    case PromptKind::Modal:
        if (auto *dialog = qobject_cast<QDialog *>(request.window))
            answer.result = dialog->exec();
        return answer;
    case PromptKind::ChooseColour: {
        const QColor c = QColorDialog::getColor(QColor::fromString(request.value), parent, request.text);
        answer.accepted = c.isValid();
        if (c.isValid())
            answer.value = c.name();
        return answer;
    }
    case PromptKind::ChooseFont: {
        QFont start;
        start.fromString(request.value);
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, start, parent, request.text);
        answer.accepted = ok;
        if (ok)
            answer.value = f.toString();
        return answer;
    }
    case PromptKind::ChooseFolder: {
        const QString f = QFileDialog::getExistingDirectory(parent, request.text, request.directory);
        if (!f.isEmpty())
            answer.files << f;
        break;
    }
    }
    answer.accepted = answer.accepted || !answer.files.isEmpty();
    return answer;
}

} // namespace verbana
