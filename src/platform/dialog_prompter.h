// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompts.h"

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

} // namespace verbana
