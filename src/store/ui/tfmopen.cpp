// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ui/tfmopen.h"

#include "store/collection_files.h"
#include "store/collection_lifecycle.h"
#include "store/collection_document.h"
#include "store/ui/refused_keys.h"
#include "store/ui/tfminput.h"

#include "platform/help.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace verbana::store::ui {

namespace {

constexpr int kNameWidth = 174;
constexpr int kCountWidth = 67;
constexpr int kRowHeight = 19;

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

Tfmopen::Tfmopen(const QString &openLabel, const QPoint &anchor, QWidget *parent) : QDialog(parent), anchor_(anchor)
{
    setObjectName(QStringLiteral("fmopen"));
    setWindowTitle(QStringLiteral("설교파일 열기"));
    setProperty(kHelpTopicProperty, 2110);

    StringGrid1 = new QTableWidget(0, 2, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    describe(StringGrid1, QStringLiteral("설교집 목록"));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    StringGrid1->setColumnWidth(0, kNameWidth);
    StringGrid1->setColumnWidth(1, kCountWidth);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setTabKeyNavigation(false);
    QPalette pal = StringGrid1->palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 225));
    StringGrid1->setPalette(pal);
    StringGrid1->setMinimumWidth(kNameWidth + kCountWidth + 2 * StringGrid1->frameWidth() + 20);

    btnOpen = new QPushButton(QStringLiteral("열기"), this);
    btnOpen->setObjectName(QStringLiteral("btnOpen"));
    btnOpen->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("취소"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnRename = new QPushButton(QStringLiteral("수정"), this);
    btnRename->setObjectName(QStringLiteral("btnRename"));
    btnDelete = new QPushButton(QStringLiteral("삭제"), this);
    btnDelete->setObjectName(QStringLiteral("btnDelete"));
    for (QPushButton *b : {btnCancel, btnRename, btnDelete})
        b->setAutoDefault(false);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {btnOpen, btnCancel, btnRename, btnDelete})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);

    fill(openLabel);

    connect(StringGrid1, &QTableWidget::cellClicked, this,
            [this](int row, int) { runCommand([&] { countRow(row); }); });
    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previous, int) {
                if (row != previous)
                    runCommand([&] { countRow(row); });
            });
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this](int, int) { btnOpenClick(); });
    connect(btnOpen, &QPushButton::clicked, this, &Tfmopen::btnOpenClick);
    connect(btnCancel, &QPushButton::clicked, this, &Tfmopen::reject);
    connect(btnRename, &QPushButton::clicked, this, asCommand([this] { btnRenameClick(); }));
    connect(btnDelete, &QPushButton::clicked, this, asCommand([this] { btnDeleteClick(); }));
    resize(420, 260);
    placeAt(this, anchor);
}

bool Tfmopen::Execute(CollectionDocument &document, const QPoint &anchor, QWidget *parent)
{
    QString name;
    {
        Tfmopen dialog(document.openLabel(), anchor, parent);
        if (runModal(&dialog) != QDialog::Accepted)
            return false;
        name = dialog.selectedName();
    }
    return document.openNamedCollection(name);
}

void Tfmopen::fill(const QString &openLabel)
{
    QStringList names = listCollections(openLabel);
    if (names.isEmpty())
        names << QString();
    StringGrid1->setRowCount(int(names.size()));
    for (int row = 0; row < names.size(); ++row) {
        StringGrid1->setItem(row, 0, cell(names[row]));
        StringGrid1->setItem(row, 1, cell(QString()));
    }
    StringGrid1->setCurrentCell(0, 0);
}

QString Tfmopen::nameAt(int row) const
{
    const QTableWidgetItem *item = StringGrid1->item(row, 0);
    return item ? item->text() : QString();
}

QString Tfmopen::countAt(int row) const
{
    const QTableWidgetItem *item = StringGrid1->item(row, 1);
    return item ? item->text() : QString();
}

QString Tfmopen::currentName() const { return nameAt(StringGrid1->currentRow()); }

void Tfmopen::countRow(int row)
{
    const QString name = nameAt(row);
    if (name.isEmpty() || !countAt(row).isEmpty())
        return;
    if (const auto count = countCollectionSermons(name))
        StringGrid1->item(row, 1)->setText(QString::number(*count));
}

void Tfmopen::btnOpenClick()
{
    if (busy_)
        return;
    chosen_ = currentName();
    accept();
}

void Tfmopen::btnRenameClick()
{
    const int row = StringGrid1->currentRow();
    const QString name = nameAt(row);
    if (name.isEmpty())
        return;
    Tfminput input(anchor_, this);
    input.setText(QStringLiteral("새로운 파일명을 아래에 입력하십시오."));
    input.setFileNameOnly(true);
    if (runModal(&input) != QDialog::Accepted)
        return;
    StringGrid1->item(row, 0)->setText(renameCollection(name, input.text()));
}

void Tfmopen::btnDeleteClick()
{
    const int row = StringGrid1->currentRow();
    const QString name = nameAt(row);
    if (name.isEmpty() || !confirm(deleteQuestion(name)))
        return;
    setBusy(true);
    // A collection still there (the user kept it when no trash took it)
    // keeps its row.
    if (!DeleteFolder(paths::resolve(paths::programFolder(), name), true)) {
        setBusy(false);
        return;
    }
    if (StringGrid1->rowCount() > 1) {
        StringGrid1->removeRow(row);
    } else {
        StringGrid1->item(0, 0)->setText(QString());
        StringGrid1->item(0, 1)->setText(QString());
    }
    setBusy(false);
}

void Tfmopen::setBusy(bool busy)
{
    busy_ = busy;
    for (QWidget *w : std::initializer_list<QWidget *>{StringGrid1, btnOpen, btnCancel, btnRename, btnDelete})
        w->setEnabled(!busy);
}

void Tfmopen::reject()
{
    if (!busy_)
        QDialog::reject();
}

void Tfmopen::closeEvent(QCloseEvent *event)
{
    if (busy_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace verbana::store::ui
