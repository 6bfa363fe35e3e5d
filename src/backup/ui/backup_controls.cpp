// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/ui/backup_controls.h"

#include "backup/collection_restore.h"
#include "store/collection_lifecycle.h"

#include "platform/prompts.h"

#include <QDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>

namespace verbana::backup::ui {

void fillCollectionList(QListWidget *list)
{
    list->clear();
    QStringList names = store::listCollections(QString());
    if (names.isEmpty())
        names << QString();
    list->addItems(names);
    // Nothing is chosen until the user chooses: a window that replaced
    // "the current row" must never act on a row nobody picked.
    list->setCurrentItem(nullptr);
    list->clearSelection();
}

void chooseCollection(QListWidget *list, const QString &name)
{
    const QList<QListWidgetItem *> same = list->findItems(name, Qt::MatchExactly);
    if (name.isEmpty() || same.isEmpty())
        return;
    list->setCurrentItem(same.first());
    same.first()->setSelected(true);
}

const QListWidgetItem *chosenItem(const QListWidget *list)
{
    // The view makes its first row current without selecting it when it
    // takes the keyboard focus; only a row the user selected counts.
    const QListWidgetItem *item = list->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

QString currentCollection(const QListWidget *list)
{
    const QListWidgetItem *item = chosenItem(list);
    return item ? store::trimBlanks(item->text()) : QString();
}

void dropCharacters(QLineEdit *box, const QString &refused)
{
    QObject::connect(box, &QLineEdit::textEdited, box, [box, refused](const QString &text) {
        const QString kept = withoutCharacters(text, refused);
        if (kept == text)
            return;
        // The cursor stays after what was typed, less what was dropped.
        const int cursor = box->cursorPosition();
        const int dropped = int(text.left(cursor).size() - withoutCharacters(text.left(cursor), refused).size());
        box->setText(kept);
        box->setCursorPosition(cursor - dropped);
    });
}

QBoxLayout *startAndCancel(QDialog *dialog, QPushButton *&start, QPushButton *&cancel)
{
    start = new QPushButton(QStringLiteral("시작"), dialog);
    start->setObjectName(QStringLiteral("btnStart"));
    start->setDefault(true);
    cancel = new QPushButton(QStringLiteral("취소"), dialog);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(start);
    row->addWidget(cancel);
    return row;
}

QString checkedNewName(QLineEdit *box, const QString &refused, const QString &emptyMessage,
                       const QString &existsMessage)
{
    const QString name = store::trimBlanks(withoutCharacters(box->text(), refused));
    const QString problem = newCollectionNameProblem(name, emptyMessage, existsMessage);
    if (problem.isEmpty())
        return name;
    showInformation(problem);
    box->setFocus();
    return QString();
}

QString withDefaultExtension(const QString &file, const QString &extension)
{
    if (file.isEmpty() || !QFileInfo(file).suffix().isEmpty())
        return file;
    return file + QLatin1Char('.') + extension;
}

} // namespace verbana::backup::ui
