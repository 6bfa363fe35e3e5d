// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/tfmfhelp.h"

#include "platform/commands.h"
#include "platform/described.h"
#include "platform/help.h"
#include "platform/prompts.h"
#include "settings/profile.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace verbana::settings::ui {
namespace {

struct Topic {
    const char16_t *caption;
    int topic;
};

constexpr Topic kTopics[] = {
    {u"1.Verbana 에 대한 대략의 안내문을 보고 싶다.", 200},
    {u"2.처음 사용하는데, 무엇부터 시작해야 하나?", 1000},
    {u"3.처음부터 다시 시작하고 싶다.", 2100},
    {u"4.설교문 입력은 어떻게 하나?", 2200},
    {u"5.HWP 파일로 설교를 기록해두었는데...", 2400},
    {u"6.Notavia 파일에 설교문을 저장해두었는데...", 2450},
    {u"7.혹시 모르니, 디스켓에 저장해두고 싶다.", 2600},
    {u"8.통계는 어떤 용도로 쓰이나?", 2500},
};

const QString kSection = QStringLiteral("첫화면");
const QString kKey = QStringLiteral("help");

} // namespace

ClickLabel::ClickLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setStyleSheet(QStringLiteral("color: blue"));
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)
        Q_EMIT clicked();
    else
        QLabel::keyPressEvent(event);
}

Tfmfhelp::Tfmfhelp(QString iniPath, bool noMore, QWidget *parent) : QDialog(parent), iniPath_(std::move(iniPath))
{
    setObjectName(QStringLiteral("Tfmfhelp"));
    setWindowTitle(QStringLiteral("시작 도우미"));
    setProperty(kHelpTopicProperty, 4000);
    auto *column = new QVBoxLayout(this);

    auto *upper = new QFrame(this);
    upper->setFrameShape(QFrame::StyledPanel);
    auto *upperColumn = new QVBoxLayout(upper);
    auto *hello = new QLabel(QStringLiteral("안녕하십니까?"), upper);
    QFont big = hello->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 3);
    hello->setFont(big);
    upperColumn->addWidget(hello);
    upperColumn->addWidget(new QLabel(QStringLiteral("아래에서 필요한 도움말이 있으시면 \r\n마우스로 클릭 하십시오."), upper));
    column->addWidget(upper);

    auto *lower = new QFrame(this);
    lower->setFrameShape(QFrame::StyledPanel);
    auto *lowerColumn = new QVBoxLayout(lower);
    int n = 2;
    for (const Topic &t : kTopics) {
        auto *label = new ClickLabel(QString::fromUtf16(t.caption), lower);
        label->setObjectName(QStringLiteral("Label%1").arg(n++));
        label->setProperty("tag", t.topic);
        describe(label, label->text());
        const int topic = t.topic;
        connect(label, &ClickLabel::clicked, this, asCommand([topic] { showHelpTopic(topic); })); // Label2Click
        lowerColumn->addWidget(label);
    }
    column->addWidget(lower);

    auto *close = new QPushButton(QStringLiteral("닫기"), this);
    close->setObjectName(QStringLiteral("Button1"));
    describe(close, close->text());
    CBnext_ = new QCheckBox(QStringLiteral("이 메세지 다음에는 보이지 않게 함."), this);
    CBnext_->setObjectName(QStringLiteral("CBnext"));
    describe(CBnext_, CBnext_->text());
    CBnext_->setChecked(noMore);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(CBnext_);
    bottom->addStretch(1);
    bottom->addWidget(close);
    column->addLayout(bottom);
    connect(close, &QPushButton::clicked, this, &QDialog::accept); // Button1Click
    setFixedSize(sizeHint());
}

void Tfmfhelp::ExecuteAtStart(const QString &iniPath, QWidget *parent)
{
    Tfmfhelp window(iniPath, false, parent);
    runModal(&window);
}

void Tfmfhelp::ExecuteFromMenu(const QString &iniPath, QWidget *parent)
{
    const bool show = Profile(iniPath).readBool(kSection, kKey, true);
    Tfmfhelp window(iniPath, !show, parent);
    runModal(&window);
}

void Tfmfhelp::done(int result)
{
    runCommand([this] { Profile(iniPath_).writeBool(kSection, kKey, !CBnext_->isChecked()); });
    QDialog::done(result);
}

} // namespace verbana::settings::ui
