// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: the bundled Korean help pages, with back and forward,
// the list of topics and a search box.
#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QToolButton;

namespace verbana::settings::ui {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // `folder`: the help folder (settings::helpFolder()).
    explicit HelpWindow(QString folder, QWidget *parent = nullptr);

    // Shows a page of the folder ("2600.html", "verbana.html") and brings
    // the window to the front.
    void showPage(const QString &page);
    // The file name of the page shown.
    QString currentPage() const;

    // Keeps in the topic list the pages that hold `words` (all of them,
    // without regard to letter case) and marks the first place in the page
    // shown; an empty search lists every page again.
    void search(const QString &words);

private:
    void fillTopics();

    QString folder_;
    QTextBrowser *tbPage_ = nullptr;
    QListWidget *lbTopics_ = nullptr;
    QLineEdit *eSearch_ = nullptr;
    QToolButton *btnBack_ = nullptr, *btnForward_ = nullptr, *btnContents_ = nullptr;
    struct Page {
        QString file, title, text;
    };
    std::vector<Page> pages_;
};

// The one help window of the program, made at first use. While a modal
// window is up the help window belongs to it, so that it can be used
// beside it (it goes with it and is made again at the next request).
HelpWindow *helpWindow();
// The window the help window belongs to when no modal window is up (the
// main window): it closes with it.
void setHelpOwner(QWidget *owner);
// The viewer the program installs (platform/help.h): the help window on
// the page of the topic.
void showHelpWindow(int topic);
// The help window on one page: the program's home page is kAboutPage.
void showHelpPage(const QString &page);

} // namespace verbana::settings::ui
