// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialog_prompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace verbana {

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
    case PromptKind::Confirmation: {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
        QPushButton *yes = box.addButton(QStringLiteral("예"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("아니오"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        answer.accepted = box.clickedButton() == yes;
        break;
    }
    case PromptKind::InformationCancel: {
        QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::NoButton, parent);
        QPushButton *ok = box.addButton(QStringLiteral("확인"), QMessageBox::AcceptRole);
        QPushButton *cancel = box.addButton(QStringLiteral("취소"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(cancel);
        box.exec();
        answer.accepted = box.clickedButton() == ok;
        break;
    }
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
        const QString f = QFileDialog::getSaveFileName(parent, request.text, start, request.filter);
        if (!f.isEmpty())
            answer.files << f;
        break;
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
