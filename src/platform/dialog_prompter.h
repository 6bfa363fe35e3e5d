// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompts.h"

class QFileDialog;
class QWidget;

namespace verbana {

// Shows prompts as Qt message boxes and file dialogs with Korean buttons.
class DialogPrompter final : public Prompter {
public:
    explicit DialogPrompter(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }
    PromptAnswer ask(const PromptRequest &request) override;

private:
    QWidget *parent_;
};

// Makes the file dialog's list show its dates in the program's locale and
// folders as "폴더" (Qt's own list formats dates in the system's locale).
// A dialog of the desktop's own is left as it is.
void showDatesInKorean(QFileDialog &dialog);

} // namespace verbana
