// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialog_prompter.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QPixmap>
#include <QVBoxLayout>
#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
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

// The dialog's own model seen through a proxy that writes the modified
// time in the default (Korean) locale and names folders in Korean.
class KoreanFileColumns final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole) {
            const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
            const QModelIndex source = mapToSource(index);
            if (files && index.column() == 3)
                return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
            if (files && index.column() == 2 && files->isDir(source))
                return QStringLiteral("폴더");
        }
        return QIdentityProxyModel::data(index, role);
    }
};

QStringList chosenFiles(QFileDialog &dialog)
{
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

// Qt's font chooser with a colour beside it: the button shows the colour
// and opens the colour chooser.
PromptAnswer chooseFontWithColour(const QFont &start, QColor colour, const QString &caption, QWidget *parent)
{
    QDialog box(parent);
    box.setObjectName(QStringLiteral("FontAndColour"));
    box.setWindowTitle(caption.isEmpty() ? QStringLiteral("글꼴") : caption);
    auto *fonts = new QFontDialog(start, &box);
    fonts->setWindowFlags(Qt::Widget);
    fonts->setOptions(QFontDialog::NoButtons);
    auto *pick = new QPushButton(QStringLiteral("색(&C)..."), &box);
    pick->setObjectName(QStringLiteral("btnColour"));
    pick->setAccessibleName(QStringLiteral("색"));
    const auto showColour = [pick](const QColor &c) {
        QPixmap swatch(16, 16);
        swatch.fill(c);
        pick->setIcon(QIcon(swatch));
        pick->setAccessibleDescription(c.name());
    };
    showColour(colour);
    QObject::connect(pick, &QPushButton::clicked, &box, [&] {
        const QColor c = QColorDialog::getColor(colour, &box, QStringLiteral("색"));
        if (c.isValid()) {
            colour = c;
            showColour(c);
        }
    });
    auto *buttons = new QDialogButtonBox(&box);
    buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addWidget(pick);
    row->addStretch(1);
    row->addWidget(buttons);
    auto *column = new QVBoxLayout(&box);
    column->addWidget(fonts);
    column->addLayout(row);
    PromptAnswer answer;
    answer.accepted = box.exec() == QDialog::Accepted;
    if (answer.accepted) {
        answer.value = fonts->currentFont().toString();
        answer.colour = colour.name();
    }
    return answer;
}

} // namespace

void showDatesInKorean(QFileDialog &dialog) { dialog.setProxyModel(new KoreanFileColumns(&dialog)); }

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
    case PromptKind::OpenFile:
    case PromptKind::OpenFiles: {
        QFileDialog dialog(parent, request.text, request.directory, request.filter);
        dialog.setFileMode(request.kind == PromptKind::OpenFile ? QFileDialog::ExistingFile
                                                                : QFileDialog::ExistingFiles);
        showDatesInKorean(dialog);
        answer.files = chosenFiles(dialog);
        break;
    }
    case PromptKind::SaveFile: {
        const QString start = request.fileName.isEmpty() ? request.directory
                                                         : request.directory + QLatin1Char('/') + request.fileName;
        QFileDialog dialog(parent, request.text, start, request.filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        showDatesInKorean(dialog);
        answer.files = chosenFiles(dialog);
        answer.filter = dialog.selectedNameFilter();
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
        if (request.colour.isEmpty()) {
            bool ok = false;
            const QFont f = QFontDialog::getFont(&ok, start, parent, request.text);
            answer.accepted = ok;
            if (ok)
                answer.value = f.toString();
            return answer;
        }
        return chooseFontWithColour(start, QColor::fromString(request.colour), request.text, parent);
    }
    case PromptKind::ChooseFolder: {
        QFileDialog dialog(parent, request.text, request.directory);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        showDatesInKorean(dialog);
        answer.files = chosenFiles(dialog);
        break;
    }
    }
    answer.accepted = answer.accepted || !answer.files.isEmpty();
    return answer;
}

} // namespace verbana
