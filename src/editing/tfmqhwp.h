// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;

namespace verbana::editing {

// The question asked before the HWP word processor is started on a
// manuscript (아래아 한글을 실행할까요?), with the check box that stops it
// being asked again. Accepted for 실행.
class TfmQhwp : public QDialog {
    Q_OBJECT
public:
    explicit TfmQhwp(QWidget *parent = nullptr);
    bool dontAskAgain() const;

private:
    QCheckBox *cbNoMore_;
};

// Asks unless the settings say to start without asking; the check box is
// stored into "Q실행" of "하안글" whatever the answer. True for 실행.
bool askToStartHwp(QWidget *parent);

} // namespace verbana::editing
