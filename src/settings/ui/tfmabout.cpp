// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/tfmabout.h"

#include "platform/described.h"
#include "platform/help.h"
#include "platform/prompts.h"
#include "settings/help_pages.h"
#include "settings/ui/help_window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace verbana::settings::ui {
namespace {

const QColor kNavy(0x00, 0x00, 0x80);

// A label on the picture: transparent, and a click on it stays with it
// instead of reaching the picture (which closes the window).
QLabel *onPicture(QLabel *label, const QString &name, const QRect &place)
{
    label->setObjectName(name);
    label->setAttribute(Qt::WA_NoMousePropagation);
    label->setGeometry(place);
    return label;
}

QFont times()
{
    QFont f(QStringLiteral("Times New Roman"));
    f.setStyleHint(QFont::Serif);
    f.setPixelSize(29);
    f.setBold(true);
    return f;
}

} // namespace

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setColour(Qt::blue);
}

void LinkLabel::setColour(const QColor &c)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, c);
    setPalette(p);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        setColour(Qt::red);
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    if (rect().contains(event->position().toPoint())) {
        visited_ = true;
        setColour(kNavy);
        Q_EMIT opened();
    } else {
        setColour(visited_ ? kNavy : QColor(Qt::blue));
    }
}

QString Tfmabout::versionText() { return QStringLiteral(VERBANA_VERSION); }
QString Tfmabout::dateText() { return QStringLiteral(VERBANA_RELEASE_DATE); }

Tfmabout::Tfmabout(Mode mode, QWidget *parent) : QDialog(parent), mode_(mode)
{
    setObjectName(mode == amSplash ? QStringLiteral("TfmaboutSplash") : QStringLiteral("Tfmabout"));
    setWindowTitle(QStringLiteral("About"));
    setProperty(kHelpTopicProperty, 10);
    setWindowFlags(mode == amSplash ? Qt::SplashScreen | Qt::FramelessWindowHint
                                    : Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(508, 318);
    describe(this, QStringLiteral("About"), QStringLiteral("그림을 클릭하면 닫힙니다"));

    auto *ver = onPicture(new QLabel(QStringLiteral("Ver."), this), QStringLiteral("lblVer"), QRect(322, 212, 60, 36));
    auto *number = onPicture(new QLabel(versionText(), this), QStringLiteral("lblVersion"), QRect(382, 212, 110, 36));
    for (QLabel *l : {ver, number})
        l->setFont(times());
    ver->setStyleSheet(QStringLiteral("color: #000080"));
    number->setStyleSheet(QStringLiteral("color: red"));
    auto *date = onPicture(new QLabel(dateText(), this), QStringLiteral("lblDate"), QRect(404, 12, 96, 18));
    date->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    date->setStyleSheet(QStringLiteral("color: #000080"));
    // The program has no page on the web: its home page is the help's page
    // about Verbana and the people who made it.
    auto *link = new LinkLabel(QStringLiteral("Verbana 홈페이지 (도움말)"), this);
    onPicture(link, QStringLiteral("lblHome"), QRect(322, 268, 180, 20));
    describe(link, link->text(), QStringLiteral("Verbana 와 만든 사람들"));
    connect(link, &LinkLabel::opened, this, [] { showHelpPage(QLatin1String(kAboutPage)); });

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void Tfmabout::Execute(QWidget *parent)
{
    Tfmabout window(amAbout, parent);
    runModal(&window);
}

Tfmabout *Tfmabout::showSplash()
{
    auto *splash = new Tfmabout(amSplash);
    splash->show();
    splash->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return splash;
}

void Tfmabout::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintAboutPicture(p, QSizeF(size()));
}

// A click on the picture closes the window; the labels keep their clicks.
void Tfmabout::mousePressEvent(QMouseEvent *event)
{
    if (mode_ == amAbout && event->button() == Qt::LeftButton)
        accept();
}

} // namespace verbana::settings::ui
