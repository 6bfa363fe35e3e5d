// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/helper_commands.h"

#include "app/home_animation.h"
#include "editing/colour_map.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "platform/help.h"
#include "platform/paths.h"
#include "settings/help_pages.h"
#include "settings/profile.h"
#include "settings/ui/help_window.h"
#include "settings/ui/tfmabout.h"
#include "settings/ui/tfmconfig.h"
#include "settings/ui/tfmfhelp.h"
#include "settings/ui/tfmfont.h"
#include "store/ui/command_host.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>

namespace verbana {
namespace {

const QString kQarchHint = QStringLiteral("qarch 실행");
const QString kQarchMissing = QStringLiteral("qarch 실행\r\n(프로그램 폴더에 qarch가 없어서 실행할 수 없습니다)");

} // namespace

using settings::iniPath;
using store::ui::CommandHost;

HelperCommands::HelperCommands(CommandHost &host)
    : QObject(host.mainWindow()), host_(host), window_(*host.mainWindow())
{
    QMainWindow &window = window_;
    window.setProperty(kHelpTopicProperty, 10);
    setHelpViewer(&settings::ui::showHelpWindow);
    settings::ui::setHelpOwner(&window);

    mnHelper_ = host.addMenu(QStringLiteral("  도우미  "), QStringLiteral("mnHelper"));
    mnHelper_->setToolTipsVisible(true);
    auto add = [this](const QString &caption, const char *name, void (HelperCommands::*slot)(),
                      const QKeySequence &key = {}) {
        return CommandHost::addCommand(mnHelper_, caption, QLatin1String(name), [this, slot] { (this->*slot)(); }, key);
    };
    add(QStringLiteral("About"), "mnAbout", &HelperCommands::mnAboutClick);
    add(QStringLiteral("도움말"), "mnHelp", &HelperCommands::mnHelpClick, QKeySequence(Qt::Key_F1));
    add(QStringLiteral("시작 도우미"), "N33", &HelperCommands::N33Click);
    add(QStringLiteral("Corvane 홈페이지"), "mnHome", &HelperCommands::mnHomeClick);
    mnHelper_->addSeparator();
    mnQarch_ = add(QStringLiteral("[qarch] 실행"), "N46", &HelperCommands::N46Click);
    mnHelper_->addSeparator();
    add(QStringLiteral("환경설정 - 일반"), "mnConfig1", &HelperCommands::mnConfig1Click);
    add(QStringLiteral("환경설정 - 설교항목"), "mnConfig2", &HelperCommands::mnConfig2Click);
    add(QStringLiteral("환경설정 - 글꼴/바탕색"), "N44", &HelperCommands::N44Click);
    connect(mnHelper_, &QMenu::aboutToShow, this, &HelperCommands::updateQarch);

    // The qarch button follows the create and open buttons.
    btnQarch_ = host.insertPictureButton(2, window.style()->standardIcon(QStyle::SP_DriveHDIcon),
                                         QStringLiteral("[qarch] 실행"), kQarchHint, QStringLiteral("SpeedButton6"));
    CommandHost::onClick(btnQarch_, [this] { N46Click(); });
    updateQarch();

    // The animated picture at the toolbar's right end leads to the home page.
    RxGIFAnimator1_ = static_cast<QToolButton *>(
        host.insertPictureButton(-1, QIcon(), QStringLiteral("Corvane 홈페이지"),
                                 QStringLiteral("클릭 !\r\nCorvane 홈페이지로"), QStringLiteral("RxGIFAnimator1")));
    RxGIFAnimator1_->setIconSize(kHomeAnimationSize);
    // A decoration: in a narrow window it gives up its room before any
    // button does, so that the buttons never overlap.
    RxGIFAnimator1_->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    RxGIFAnimator1_->setMinimumWidth(1);
    RxGIFAnimator1_->setCursor(Qt::PointingHandCursor);
    RxGIFAnimator1_->setIcon(homeAnimationFrame(0, window.devicePixelRatioF()));
    CommandHost::onClick(RxGIFAnimator1_, [this] { mnHomeClick(); });
    animation_.setInterval(120);
    connect(&animation_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % kHomeAnimationFrames;
        RxGIFAnimator1_->setIcon(homeAnimationFrame(frame_, window_.devicePixelRatioF()));
    });
    animation_.start();

    if (auto *reset = window.findChild<QPushButton *>(QStringLiteral("btnReset")))
        CommandHost::onClick(reset, [this] { mnConfig2Click(); });

    // The settings window lives for the whole run.
    fmconfig_ = std::make_unique<settings::ui::Tfmconfig>(
        iniPath(), [this] { host_.reloadChoiceLists(); }, &window);

    firstTimer_.setObjectName(QStringLiteral("firstTimer"));
    firstTimer_.setSingleShot(true);
    firstTimer_.setInterval(300);
    connect(&firstTimer_, &QTimer::timeout, this, asCommand([this] { firstTimerTimer(); }));
}

HelperCommands::~HelperCommands()
{
    setHelpViewer({});
}


void HelperCommands::start() { firstTimer_.start(); }

void HelperCommands::firstTimerTimer()
{
    firstTimer_.stop();
    if (settings::Profile(iniPath()).readBool(QStringLiteral("첫화면"), QStringLiteral("help"), true))
        settings::ui::Tfmfhelp::ExecuteAtStart(iniPath(), &window_);
}

void HelperCommands::mnAboutClick() { settings::ui::Tfmabout::Execute(&window_); }

void HelperCommands::mnHelpClick() { showHelpTopic(10); }

void HelperCommands::N33Click() { settings::ui::Tfmfhelp::ExecuteFromMenu(iniPath(), &window_); }

// The program has no page on the web: its home page is the help's page
// about Verbana and the people who made it.
void HelperCommands::mnHomeClick() { settings::ui::showHelpPage(QLatin1String(settings::kAboutPage)); }

QString HelperCommands::qarchPath()
{
    for (const QString &folder : {paths::programFolder(), QCoreApplication::applicationDirPath()}) {
        const QString path = paths::resolveExisting(folder, QStringLiteral("qarch"));
        if (!path.isEmpty() && QFileInfo(path).isFile() && QFileInfo(path).isExecutable())
            return path;
    }
    return {};
}

void HelperCommands::updateQarch()
{
    const bool there = !qarchPath().isEmpty();
    mnQarch_->setEnabled(there);
    btnQarch_->setEnabled(there);
    const QString hint = there ? kQarchHint : kQarchMissing;
    mnQarch_->setToolTip(hint);
    describe(btnQarch_, QStringLiteral("[qarch] 실행"), hint);
}

// Started and left to itself: nothing waits for it or looks at the result.
void HelperCommands::N46Click()
{
    const QString path = qarchPath();
    if (!path.isEmpty())
        QProcess::startDetached(path, {}, paths::programFolder());
}

void HelperCommands::mnConfig1Click() { fmconfig_->Execute(settings::ui::Tfmconfig::pgGeneral); }

void HelperCommands::mnConfig2Click() { fmconfig_->Execute(settings::ui::Tfmconfig::pgLists); }

void HelperCommands::N44Click()
{
    const settings::Profile profile(iniPath());
    const QString fonts = QStringLiteral("글꼴");
    const auto look = [&](const char *widget, const QString &prefix) {
        settings::ui::FontLook l;
        if (auto *w = window_.findChild<QWidget *>(QLatin1String(widget)))
            l.font = w->font();
        l.text = profile.readColour(fonts, prefix + QStringLiteral("색"), QStringLiteral("clWindowtext"));
        l.base = profile.readColour(fonts, prefix + QStringLiteral("바탕색"), QStringLiteral("clWindow"));
        return l;
    };
    settings::ui::Tfmfont::Execute(look("reManuscript", QStringLiteral("원고")), look("DATE1", QStringLiteral("일반")),
                                   &editing::toQColor, iniPath(),
                                   [this] {
                                       host_.applyFontSettings();
                                       host_.RefreshManuscriptView();
                                   },
                                   &window_);
}

} // namespace verbana
