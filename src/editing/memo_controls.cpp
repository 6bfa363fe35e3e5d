// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/memo_controls.h"
#include "editing/memo_document.h"

#include <QLineEdit>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace verbana::editing {

namespace {
constexpr int kHeight = 24;
constexpr int kGrip = 5; // half the width of a marker
constexpr qreal kPixelsPerCm = 96.0 / 2.54;
} // namespace

MemoRuler::MemoRuler(QWidget *parent) : QWidget(parent)
{
    setFixedHeight(kHeight);
    setMouseTracking(false);
}

QSize MemoRuler::sizeHint() const { return {400, kHeight}; }

void MemoRuler::setMarkers(int first, int left)
{
    if (grip_ != Grip::None || (first == first_ && left == left_))
        return;
    first_ = first;
    left_ = left;
    update();
}

void MemoRuler::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    const QRect band(0, 5, width(), kHeight - 10);
    p.fillRect(band, palette().color(QPalette::Base));
    p.setPen(palette().color(QPalette::Text));
    QFont small = font();
    small.setPixelSize(9);
    p.setFont(small);
    for (int half = 1; half * kPixelsPerCm / 2 < width(); ++half) {
        const int x = qRound(half * kPixelsPerCm / 2);
        if (half % 2 == 0)
            p.drawText(QRect(x - 10, band.top(), 20, band.height()), Qt::AlignCenter, QString::number(half / 2));
        else
            p.drawLine(x, band.center().y() - 1, x, band.center().y() + 1);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(palette().color(QPalette::Button));
    p.setPen(palette().color(QPalette::Shadow));
    // The first-line marker hangs from the top; the left marker stands on the bottom.
    p.drawPolygon(QPolygon({QPoint(first_ - kGrip, 0), QPoint(first_ + kGrip, 0), QPoint(first_, 7)}));
    p.drawPolygon(QPolygon({QPoint(left_ - kGrip, kHeight - 1), QPoint(left_ + kGrip, kHeight - 1),
                            QPoint(left_ + kGrip, kHeight - 4), QPoint(left_, kHeight - 9),
                            QPoint(left_ - kGrip, kHeight - 4)}));
}

void MemoRuler::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const bool upper = at.y() < kHeight / 2;
    if (upper && qAbs(at.x() - first_) <= kGrip)
        grip_ = Grip::First;
    else if (!upper && qAbs(at.x() - left_) <= kGrip)
        grip_ = Grip::Left;
}

void MemoRuler::mouseMoveEvent(QMouseEvent *event)
{
    if (grip_ == Grip::None)
        return;
    const int x = qBound(0, event->position().toPoint().x(), width() - 1);
    (grip_ == Grip::First ? first_ : left_) = x;
    update();
}

void MemoRuler::mouseReleaseEvent(QMouseEvent *event)
{
    if (grip_ == Grip::None || event->button() != Qt::LeftButton)
        return;
    const int x = qBound(0, event->position().toPoint().x(), width() - 1);
    const Grip grip = grip_;
    grip_ = Grip::None;
    if (grip == Grip::First) {
        first_ = x;
        Q_EMIT firstLineDragged(first_, left_);
    } else {
        left_ = x;
        Q_EMIT leftDragged(left_);
    }
    update();
}

MemoSizeBox::MemoSizeBox(QWidget *parent) : QAbstractSpinBox(parent)
{
    setKeyboardTracking(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setText(QString::number(size_));
    setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 28);
}

void MemoSizeBox::setSize(int size)
{
    size_ = size;
    if (lineEdit()->text() != QString::number(size))
        lineEdit()->setText(QString::number(size));
}

void MemoSizeBox::stepBy(int steps)
{
    const int next = qBound(6, size_ + steps, 127);
    setSize(next);
    Q_EMIT sizeChosen(next);
}

QAbstractSpinBox::StepEnabled MemoSizeBox::stepEnabled() const
{
    StepEnabled e = StepNone;
    if (size_ < 127)
        e |= StepUpEnabled;
    if (size_ > 6)
        e |= StepDownEnabled;
    return e;
}

// Anything may be typed; Enter decides what counts.
QValidator::State MemoSizeBox::validate(QString &, int &) const { return QValidator::Acceptable; }

void MemoSizeBox::fixup(QString &) const {}

void MemoSizeBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (const std::optional<int> size = memo::sizeFromBox(lineEdit()->text())) {
            setSize(*size);
            Q_EMIT sizeChosen(*size);
        }
        event->accept();
        return;
    }
    QAbstractSpinBox::keyPressEvent(event);
}

// What was typed and never taken gives way to the size in force.
void MemoSizeBox::focusOutEvent(QFocusEvent *event)
{
    QAbstractSpinBox::focusOutEvent(event);
    lineEdit()->setText(QString::number(size_));
}

} // namespace verbana::editing
