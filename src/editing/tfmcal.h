// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDialog>

class QCalendarWidget;
class QLabel;

namespace verbana::editing {

// The calendar window (달력): a month grid that starts on Sunday, moved by
// month and year with its buttons and keys, confirmed with Enter or a
// double click. Its result is "취소" until a date is confirmed.
class Tfmcal : public QDialog {
    Q_OBJECT
public:
    explicit Tfmcal(QWidget *parent = nullptr);

    QString Result() const { return result_; }
    QDate selectedDate() const;
    void setSelectedDate(const QDate &date);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void confirm();
    void showHeading();
    bool handleKey(QKeyEvent *event);

    QCalendarWidget *grid_;
    QLabel *heading_;
    QString result_;
};

// Opens the calendar below `box` on today's date and returns its result:
// the chosen date as "yyyy.mm.dd", or "취소".
QString PickDate(QWidget *box);

} // namespace verbana::editing
