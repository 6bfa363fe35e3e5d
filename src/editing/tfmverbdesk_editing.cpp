// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's editing commands, the record boxes bound to the sermon
// table, the sermon list's keys and the keys of the record boxes.
#include "editing/field_text.h"
#include "editing/record_boxes.h"
#include "editing/sermon_list_model.h"
#include "editing/tfmcal.h"
#include "editing/calendar_date.h"
#include "editing/tfmverbdesk.h"
#include "editing/manuscript_view.h"
#include "platform/commands.h"
#include "platform/cp949.h"
#include "platform/prompts.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

namespace verbana::editing {

using xbase::TableEvent;

bool Tfmverbdesk::refuseReadOnly() { return editing_.table() && document_.refuseReadOnly(); }

bool Tfmverbdesk::RefuseWhileEditing() { return editing_.table() && document_.refuseWhileEditing(); }

QWidget *Tfmverbdesk::boxOf(int field) const
{
    for (TDBEdit *e : edits_)
        if (e->box.field == field)
            return e;
    for (TDBComboBox *c : combos_)
        if (c->box.field == field)
            return c;
    for (TDBMemo *m : memos_)
        if (m->box.field == field)
            return m;
    return nullptr;
}

void Tfmverbdesk::showRecord()
{
    xbase::TApolloTable *t = editing_.table();
    const bool shown = t && t->Active() && (t->RecNo() != 0 || editing_.changing());
    auto value = [&](int field) { return shown ? cp949::decode(t->GetString(field)) : QString(); };
    for (TDBEdit *e : edits_)
        e->showValue(value(e->box.field));
    for (TDBComboBox *c : combos_)
        c->showValue(value(c->box.field));
    for (TDBMemo *m : memos_)
        m->showValue(value(m->box.field));
    setBoxesReadOnly();
}

void Tfmverbdesk::setBoxesReadOnly()
{
    const bool readOnly = !editing_.changing();
    for (TDBEdit *e : edits_)
        e->setReadOnly(readOnly);
    for (TDBComboBox *c : combos_)
        c->lineEdit()->setReadOnly(readOnly);
    for (TDBMemo *m : memos_)
        m->setReadOnly(readOnly);
}

void Tfmverbdesk::boxEdited(int field, const QString &text)
{
    if (!editing_.changing()) {
        showRecord();
        return;
    }
    // The boxes refuse what does not fit, so the text encodes whole.
    const cp949::Encoded encoded = encodeField(text);
    if (!encoded.ok()) {
        showRecord();
        return;
    }
    editing_.table()->PutString(field, encoded.bytes);
}

void Tfmverbdesk::onNotified(const xbase::TableNotification &n)
{
    switch (n.event) {
    case TableEvent::AfterScroll:
        if (!listKeyHeld_)
            viewTimer_.start();
        syncListToTable();
        break;
    case TableEvent::AfterInsert:
        listTimer_.start();
        break;
    case TableEvent::AfterPost:
    case TableEvent::AfterCancel:
    case TableEvent::AfterDelete:
        afterChange();
        break;
    case TableEvent::AfterRefresh:
        viewTimer_.start();
        break;
    case TableEvent::AfterEdit:
        break;
    }
}

void Tfmverbdesk::afterChange()
{
    listTimer_.stop();
    DBGrid1_->setEnabled(true);
    pnlSave_->hide();
    RefreshManuscriptView();
    setBoxesReadOnly();
}

void Tfmverbdesk::syncListToTable()
{
    xbase::TApolloTable *t = editing_.table();
    if (!t || !t->Active())
        return;
    const int row = model_->rowOf(t->RecNo());
    if (row < 0)
        return;
    syncingList_ = true;
    const int column = std::max(0, DBGrid1_->currentIndex().column());
    DBGrid1_->setCurrentIndex(model_->index(row, column));
    DBGrid1_->scrollTo(model_->index(row, column));
    syncingList_ = false;
}

void Tfmverbdesk::listRowChosen(int row)
{
    xbase::TApolloTable *t = editing_.table();
    if (syncingList_ || !t || !t->Active() || editing_.changing())
        return;
    const uint32_t recno = model_->recnoAt(row);
    if (recno != 0 && recno != t->RecNo() && model_->showsRow(row))
        t->Go(recno);
}

void Tfmverbdesk::mnAppendClick()
{
    if (!editing_.table() || !editing_.table()->Active())
        return;
    // A second addition while a change is under way would post or drop
    // the first without its checks and lose its work files: refused.
    if (RefuseWhileEditing() || refuseReadOnly())
        return;
    placeSavePanel();
    pnlSave_->show();
    setManuscriptCaption(QStringLiteral("원고 입력"));
    PageControl1_->setCurrentIndex(0);
    try {
        editing_.add();
    } catch (...) {
        pnlSave_->setVisible(editing_.changing());
        throw;
    }
    reManuscript_->clearView();
    setBoxesReadOnly();
    auto *date1 = static_cast<QLineEdit *>(boxOf(store::fDATE1));
    date1->setFocus();
    date1->selectAll();
}

void Tfmverbdesk::mnEditClick()
{
    xbase::TApolloTable *t = editing_.table();
    if (!t || !t->Active() || (!editing_.changing() && t->RecNo() == 0))
        return;
    const bool wasBrowsing = !editing_.changing();
    if (wasBrowsing && refuseReadOnly())
        return;
    placeSavePanel();
    pnlSave_->show();
    try {
        editing_.edit();
    } catch (...) {
        pnlSave_->setVisible(editing_.changing());
        throw;
    }
    if (wasBrowsing)
        DBGrid1_->setEnabled(false);
    setBoxesReadOnly();
}

void Tfmverbdesk::mnSaveClick()
{
    xbase::TApolloTable *t = editing_.table();
    if (!editing_.changing())
        return;
    if (editing_.save(t->GetString(store::fBIBLE1)) == SermonEditing::SaveResult::BibleRefused) {
        PageControl1_->setCurrentIndex(0);
        auto *bible1 = static_cast<QLineEdit *>(boxOf(store::fBIBLE1));
        bible1->setFocus();
        bible1->selectAll();
        showInformation(bibleRefusedText());
    }
}

void Tfmverbdesk::mnCancelClick()
{
    if (!editing_.table() || !editing_.table()->Active())
        return;
    editing_.cancel();
}

void Tfmverbdesk::mnDeleteClick()
{
    xbase::TApolloTable *t = editing_.table();
    if (!t || !t->Active())
        return;
    if (editing_.changing()) {
        showInformation(deleteWhileEditingText());
        return;
    }
    if (t->RecNo() == 0 || refuseReadOnly() || !confirm(deleteQuestionText()))
        return;
    editing_.deleteCurrent();
}

void Tfmverbdesk::pickDateFor(TDBEdit *box)
{
    if (!editing_.changing())
        return;
    const QString result = PickDate(box);
    if (result == calendarCancelled() || !editing_.changing())
        return;
    editing_.table()->PutString(box->box.field, result.toLatin1());
}

void Tfmverbdesk::moveSermon(int direction)
{
    xbase::TApolloTable *t = editing_.table();
    if (t && t->Active() && !editing_.changing() && t->RecNo() != 0)
        t->Skip(direction);
}

bool Tfmverbdesk::recordBoxKey(QWidget *widget, QKeyEvent *event)
{
    KeyContext context;
    context.changing = editing_.changing();
    QWidget *box = widget;
    TDBComboBox *combo = nullptr;
    for (TDBComboBox *c : combos_)
        if (widget == c || widget == c->lineEdit() || widget == c->view())
            combo = c;
    if (combo) {
        box = combo;
        context.kind = BoxKind::Choice;
        context.dropped = combo->dropped();
    } else if (auto *edit = qobject_cast<TDBEdit *>(widget)) {
        context.kind = edit->box.kind;
    } else {
        return false;
    }
    const KeyAction action = editing::recordBoxKey(context, event->key(), event->modifiers());
    switch (action) {
    case KeyAction::NotHandled:
        return false;
    case KeyAction::NextControl:
        if (context.dropped) {
            // The list takes the highlighted word and closes; then move on.
            QTimer::singleShot(0, this, [this] { focusNextPrevChild(true); });
            return false;
        }
        focusNextPrevChild(true);
        return true;
    case KeyAction::PreviousControl:
        focusNextPrevChild(false);
        return true;
    case KeyAction::PreviousSermon:
        moveSermon(-1);
        return true;
    case KeyAction::NextSermon:
        moveSermon(1);
        return true;
    case KeyAction::PickDate:
        (box == boxOf(store::fDATE2) ? btnCallCal2_ : btnCallCal_)->click();
        return true;
    case KeyAction::DropDown:
        combo->showPopup();
        return true;
    }
    return false;
}

bool Tfmverbdesk::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PageControl1_) {
        if (event->type() == QEvent::Resize)
            LayoutBoxes();
        return QMainWindow::eventFilter(watched, event);
    }
    if (watched == pnlGrid_) {
        if (event->type() == QEvent::Resize)
            placeSavePanel();
        return QMainWindow::eventFilter(watched, event);
    }
    if (watched == DBGrid1_) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool moving = (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
                            && (key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown
                                || key->key() == Qt::Key_Up || key->key() == Qt::Key_Down);
        if (event->type() == QEvent::KeyPress && key->key() == Qt::Key_Delete
            && key->modifiers().testFlag(Qt::ControlModifier)) {
            runCommand([this] { mnDeleteClick(); });
            return true;
        }
        if (moving && event->type() == QEvent::KeyPress) {
            listKeyHeld_ = true;
        } else if (moving && !key->isAutoRepeat()) {
            listKeyHeld_ = false;
            runCommand([this] { RefreshManuscriptView(); });
        }
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        // A key that moves to another sermon is a command: its errors are
        // shown, and the key counts as handled.
        bool handled = false;
        if (!runCommand([&] { handled = recordBoxKey(static_cast<QWidget *>(watched), static_cast<QKeyEvent *>(event)); })
            || handled)
            return true;
    } else if (event->type() == QEvent::FocusIn && editing_.changing()) {
        // Entering an empty choice box while a sermon is being changed
        // offers its words at once.
        for (TDBComboBox *c : combos_)
            if ((watched == c || watched == c->lineEdit()) && c->currentText().isEmpty() && !c->dropped())
                QTimer::singleShot(0, c, [c] {
                    if (c->hasFocus() && c->currentText().isEmpty())
                        c->showPopup();
                });
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace verbana::editing
