// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/tfmcal.h"

#include "editing/calendar_date.h"
#include "platform/clock.h"
#include "platform/help.h"
#include "platform/prompts.h"

#include <QCalendarWidget>
#include <optional>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace verbana::editing {

namespace {

QPushButton *makeButton(const QString &caption, const QString &hint, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

Tfmcal::Tfmcal(QWidget *parent) : QDialog(parent), result_(calendarCancelled())
{
    setObjectName(QStringLiteral("fmcal"));
    setProperty(kHelpTopicProperty, 10);
    setWindowTitle(QStringLiteral("달력"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xFF, 0xC0));
    setPalette(pal);

    auto *top = new QHBoxLayout;
    auto *prevYear = makeButton(QStringLiteral("<<"), QStringLiteral("전년 F9"), QStringLiteral("btnPrevYear"), this);
    auto *prevMonth = makeButton(QStringLiteral("<"), QStringLiteral("전월 F11"), QStringLiteral("btnPrevMonth"), this);
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("lblHeading"));
    heading_->setAlignment(Qt::AlignCenter);
    auto *nextMonth = makeButton(QStringLiteral(">"), QStringLiteral("차월 F12"), QStringLiteral("btnNextMonth"), this);
    auto *nextYear = makeButton(QStringLiteral(">>"), QStringLiteral("차년 F10"), QStringLiteral("btnNextYear"), this);
    top->addWidget(prevYear);
    top->addWidget(prevMonth);
    top->addWidget(heading_, 1);
    top->addWidget(nextMonth);
    top->addWidget(nextYear);

    grid_ = new QCalendarWidget(this);
    grid_->setObjectName(QStringLiteral("Calendar1"));
    grid_->setFirstDayOfWeek(Qt::Sunday);
    grid_->setNavigationBarVisible(false);
    grid_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    grid_->setToolTip(QStringLiteral("Enter = 확인, Esc = 취소, \r\nPgUp/Dn , F11, F12= 월이동,\r\n"
                                     "Ctrl+PgUp/Dn , F9, F10= 년이동,\r\nShift+PgUp/Dn = 년이동,"));
    QPalette gridPalette = grid_->palette();
    gridPalette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xE0));
    grid_->setPalette(gridPalette);
    // The grid's own view gets the keys; the window decides about the ones
    // that move, confirm and cancel.
    if (auto *view = grid_->findChild<QTableView *>())
        view->installEventFilter(this);
    grid_->installEventFilter(this);

    auto *bottom = new QHBoxLayout;
    auto *today = makeButton(QStringLiteral("Space 키 = 오늘"), QString(), QStringLiteral("btnToday"), this);
    auto *ok = makeButton(QStringLiteral("확인"), QString(), QStringLiteral("btnOK"), this);
    auto *cancel = makeButton(QStringLiteral("취소"), QString(), QStringLiteral("btnCancel"), this);
    bottom->addWidget(today);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grid_);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto mover = [this](CalendarMove move) {
        return [this, move] { setSelectedDate(moveDate(selectedDate(), move)); };
    };
    connect(prevYear, &QPushButton::clicked, this, mover(CalendarMove::PreviousYear));
    connect(prevMonth, &QPushButton::clicked, this, mover(CalendarMove::PreviousMonth));
    connect(nextMonth, &QPushButton::clicked, this, mover(CalendarMove::NextMonth));
    connect(nextYear, &QPushButton::clicked, this, mover(CalendarMove::NextYear));
    connect(today, &QPushButton::clicked, this, [this] { setSelectedDate(clock::today()); });
    connect(ok, &QPushButton::clicked, this, &Tfmcal::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid_, &QCalendarWidget::activated, this, &Tfmcal::confirm);
    connect(grid_, &QCalendarWidget::selectionChanged, this, &Tfmcal::showHeading);
    setSelectedDate(clock::today());
}

QDate Tfmcal::selectedDate() const { return grid_->selectedDate(); }

void Tfmcal::setSelectedDate(const QDate &date)
{
    grid_->setSelectedDate(date);
    grid_->setCurrentPage(date.year(), date.month());
    showHeading();
    grid_->setFocus();
}

void Tfmcal::showHeading() { heading_->setText(calendarHeading(grid_->selectedDate())); }

void Tfmcal::confirm()
{
    result_ = dateResultText(grid_->selectedDate());
    accept();
}

void Tfmcal::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    showHeading();
    grid_->setFocus();
}

bool Tfmcal::handleKey(QKeyEvent *event)
{
    const bool shiftOrCtrl = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    std::optional<CalendarMove> move;
    switch (event->key()) {
    case Qt::Key_F9: move = CalendarMove::PreviousYear; break;
    case Qt::Key_F10: move = CalendarMove::NextYear; break;
    case Qt::Key_F11: move = CalendarMove::PreviousMonth; break;
    case Qt::Key_F12: move = CalendarMove::NextMonth; break;
    case Qt::Key_PageUp: move = shiftOrCtrl ? CalendarMove::PreviousYear : CalendarMove::PreviousMonth; break;
    case Qt::Key_PageDown: move = shiftOrCtrl ? CalendarMove::NextYear : CalendarMove::NextMonth; break;
    case Qt::Key_Space: setSelectedDate(clock::today()); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: confirm(); return true;
    case Qt::Key_Escape: reject(); return true;
    default: return false;
    }
    setSelectedDate(moveDate(selectedDate(), *move));
    return true;
}

bool Tfmcal::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void Tfmcal::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        QDialog::keyPressEvent(event);
}

QString PickDate(QWidget *box)
{
    Tfmcal calendar(box ? box->window() : nullptr);
    if (box)
        calendar.move(box->mapToGlobal(QPoint(0, box->height())));
    runModal(&calendar);
    return calendar.Result();
}

} // namespace verbana::editing
