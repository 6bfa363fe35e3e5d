// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QPoint;
class QWidget;

namespace verbana::store::ui {

// Swallows the key presses that would type one of `refused` into the
// watched box, so that those characters cannot be typed there.
class RefusedKeys : public QObject {
    Q_OBJECT
public:
    RefusedKeys(QString refused, QObject *parent) : QObject(parent), refused_(std::move(refused)) {}
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString refused_;
};

// Places a dialog at `anchor` (global coordinates) unless it is null.
void placeAt(QWidget *dialog, const QPoint &anchor);

} // namespace verbana::store::ui
