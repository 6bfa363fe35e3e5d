// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class QAbstractButton;
class QMainWindow;
class QAction;
class QMenu;
class QToolButton;

namespace verbana::store::ui {
class CommandHost;
}
namespace verbana::settings::ui {
class Tfmconfig;
}

namespace verbana {

// The main window's menu 도우미 and what hangs on it: About, help (F1 and
// the help window), the start helper and its timer at start-up, the home
// page (the menu item and the animated picture at the toolbar's right
// end), qarch (the menu item and its toolbar button), the settings window
// (made once, also opened by 재설정) and the font window.
class HelperCommands : public QObject {
    Q_OBJECT
public:
    explicit HelperCommands(store::ui::CommandHost &host);
    ~HelperCommands() override;

    // Starts the one-shot start timer: 300 ms later the start helper shows
    // when the settings ask for it.
    void start();
    QTimer &firstTimer() { return firstTimer_; }

    void mnAboutClick();
    void mnHelpClick();
    void N33Click(); // 시작 도우미
    void mnHomeClick();
    void N46Click(); // [qarch] 실행
    void mnConfig1Click();
    void mnConfig2Click();
    void N44Click(); // 글꼴/바탕색

    // The sibling program in the program folder; empty when there is none.
    static QString qarchPath();

private:
    void firstTimerTimer();
    void updateQarch();

    store::ui::CommandHost &host_;
    QMainWindow &window_;
    std::unique_ptr<settings::ui::Tfmconfig> fmconfig_;
    QTimer firstTimer_;
    QTimer animation_;
    int frame_ = 0;
    QMenu *mnHelper_ = nullptr;
    QAction *mnQarch_ = nullptr;
    QAbstractButton *btnQarch_ = nullptr;
    QToolButton *RxGIFAnimator1_ = nullptr;
};

} // namespace verbana
