// SPDX-License-Identifier: GPL-3.0-or-later
// The about window, also shown as the splash screen while the program
// starts: the program's picture with its version, date and home-page link.
#pragma once

#include <QDialog>
#include <QLabel>

class QPainter;

namespace verbana::settings::ui {

// The picture of the about window, drawn at any pixel density.
void paintAboutPicture(QPainter &painter, const QSizeF &size);

// The home-page link: blue; pressed, red; released inside, it opens the
// page and stays navy as visited; released outside, it opens nothing.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);
    bool visited() const { return visited_; }
Q_SIGNALS:
    void opened();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setColour(const QColor &c);
    bool visited_ = false;
};

class Tfmabout : public QDialog {
    Q_OBJECT
public:
    enum Mode { amAbout, amSplash };
    explicit Tfmabout(Mode mode, QWidget *parent = nullptr);

    // From the menu: shown modally until the picture is clicked.
    static void Execute(QWidget *parent);
    // At start-up: shown at once, without waiting; the caller deletes it
    // when the main window is up.
    static Tfmabout *showSplash();

    static QString versionText();
    static QString dateText();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    Mode mode_;
};

} // namespace verbana::settings::ui
