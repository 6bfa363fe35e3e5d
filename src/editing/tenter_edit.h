// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QLineEdit>

namespace verbana::editing {

enum TStopPosit { stpNormal, stpTop, stpBottom };
enum TEscKeyType { estNone, estUp, estUndo, estClose, estXClose };

// The text box of the dialogs: Enter moves to the next control, the arrow
// keys leave the box as StopPosit says, Esc does what EscKeyType says, it
// can take digits only and can take a colour while it has the focus.
class TEnterEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TEnterEdit(QWidget *parent = nullptr);

    TStopPosit StopPosit = stpNormal;
    QColor EntColor = QColor(0xFF, 0xFF, 0xC0);
    bool AllowEntColor = false;
    TEscKeyType EscKeyType = estNone;
    bool NumOnly = false;
    // Free values for the owner.
    QString hText;
    int hTag = 0;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void moveFocus(bool next);
    QString remembered_;
    QPalette rememberedPalette_;
    bool coloured_ = false;
};

} // namespace verbana::editing
