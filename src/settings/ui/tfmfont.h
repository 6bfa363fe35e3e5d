// SPDX-License-Identifier: GPL-3.0-or-later
// The font window: fonts and background colours of the sermon form and of
// the manuscript view, each with its sample.
#pragma once

#include "settings/colours.h"

#include <QColor>
#include <QDialog>
#include <QFont>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace verbana::settings::ui {

// The look of one sample: its font and its two colours as stored.
struct FontLook {
    QFont font;
    colours::TColor text = colours::clWindowText;
    colours::TColor base = colours::clWindow;
};

class Tfmfont : public QDialog {
    Q_OBJECT
public:
    // How a stored colour shows on screen (system colours take the
    // palette's).
    using ColourOnScreen = std::function<QColor(colours::TColor)>;

    // The samples start with the looks of the manuscript view and of the
    // sermon form. `applied` runs after "확인" stored the eight keys, so
    // that the main window reads and applies them.
    Tfmfont(const FontLook &manuscript, const FontLook &general, ColourOnScreen onScreen, QString iniPath,
            std::function<void()> applied, QWidget *parent = nullptr);

    // Makes the window, shows it modally and destroys it.
    static void Execute(const FontLook &manuscript, const FontLook &general, ColourOnScreen onScreen,
                        const QString &iniPath, std::function<void()> applied, QWidget *parent);

    const FontLook &manuscriptLook() const { return manuscript_; }
    const FontLook &generalLook() const { return general_; }

    void Button1Click();

private:
    enum Sample { sGeneral, sManuscript };
    void chooseFont(Sample s);
    void chooseColour(Sample s, bool background);
    void showSamples();
    FontLook &look(Sample s) { return s == sGeneral ? general_ : manuscript_; }

    FontLook manuscript_, general_;
    ColourOnScreen onScreen_;
    QString iniPath_;
    std::function<void()> applied_;
    QLabel *LaGen_ = nullptr;
    QLineEdit *eGen_ = nullptr;
    QPlainTextEdit *Memo1_ = nullptr;
};

} // namespace verbana::settings::ui
