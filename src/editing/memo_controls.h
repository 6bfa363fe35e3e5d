// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractSpinBox>
#include <QWidget>

namespace verbana::editing {

// The document editor's ruler: the current paragraph's first-line marker
// (on top) and left marker (below), dragged with the mouse. Positions are
// pixels from the ruler's left edge; the editor turns them into indents.
class MemoRuler final : public QWidget {
    Q_OBJECT
public:
    explicit MemoRuler(QWidget *parent = nullptr);

    int firstMarker() const { return first_; }
    int leftMarker() const { return left_; }
    // Moves the markers without telling anyone.
    void setMarkers(int first, int left);

    QSize sizeHint() const override;

Q_SIGNALS:
    // A marker was dropped at a new place: the first-line marker (with the
    // left marker where it stands) or the left marker.
    void firstLineDragged(int first, int left);
    void leftDragged(int left);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Grip { None, First, Left };
    int first_ = 2;
    int left_ = 2;
    Grip grip_ = Grip::None;
};

// The size box: a number with up and down arrows. Enter takes the digits
// typed when they make a size from 6 to 127; the arrows step the number and
// take it at once.
class MemoSizeBox final : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit MemoSizeBox(QWidget *parent = nullptr);

    int size() const { return size_; }
    // Shows a size without telling anyone.
    void setSize(int size);
    void stepBy(int steps) override;

Q_SIGNALS:
    void sizeChosen(int size);

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int size_ = 10;
};

} // namespace verbana::editing
