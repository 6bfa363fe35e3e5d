// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/tfmfont.h"

#include "platform/commands.h"
#include "platform/described.h"
#include "platform/prompts.h"
#include "settings/profile.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace verbana::settings::ui {
namespace {

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    describe(b, caption);
    return b;
}

// 0x00BBGGRR of a colour on screen.
colours::TColor stored(const QColor &c) { return colours::TColor(c.red() | c.green() << 8 | c.blue() << 16); }

// A font as the settings keep it: name and size, a plain style.
QFont plain(const QFont &f)
{
    QFont p(f.family());
    p.setPointSize(f.pointSize() > 0 ? f.pointSize() : 9);
    return p;
}

} // namespace

Tfmfont::Tfmfont(const FontLook &manuscript, const FontLook &general, ColourOnScreen onScreen, QString iniPath,
                 std::function<void()> applied, QWidget *parent)
    : QDialog(parent), manuscript_(manuscript), general_(general), onScreen_(std::move(onScreen)),
      iniPath_(std::move(iniPath)), applied_(std::move(applied))
{
    setObjectName(QStringLiteral("Tfmfont"));
    setWindowTitle(QStringLiteral("글꼴/바탕색"));
    auto *column = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    column->addWidget(tabs, 1);

    const auto page = [&](const QString &caption, Sample s, QWidget *sample) {
        auto *p = new QWidget;
        auto *pageColumn = new QVBoxLayout(p);
        auto *row = new QHBoxLayout;
        const QString n = QString::number(s + 1);
        QPushButton *font = button(QStringLiteral("글꼴 지정"), QStringLiteral("btnFont") + n, p);
        QPushButton *colour = button(QStringLiteral("바탕색 지정"), QStringLiteral("btnColor") + n, p);
        // The system font dialog of Windows also chose the text colour;
        // Qt's has no colour, so the text colour has a button of its own.
        QPushButton *text = button(QStringLiteral("글자색 지정"), QStringLiteral("btnTextColor") + n, p);
        connect(font, &QPushButton::clicked, this, asCommand([this, s] { chooseFont(s); }));
        connect(colour, &QPushButton::clicked, this, asCommand([this, s] { chooseColour(s, true); }));
        connect(text, &QPushButton::clicked, this, asCommand([this, s] { chooseColour(s, false); }));
        row->addWidget(font);
        row->addWidget(colour);
        row->addWidget(text);
        row->addStretch(1);
        pageColumn->addLayout(row);
        auto *frame = new QGroupBox(QStringLiteral(" 보기 "), p);
        auto *frameColumn = new QVBoxLayout(frame);
        sample->setParent(frame);
        frameColumn->addWidget(sample);
        pageColumn->addWidget(frame, 1);
        tabs->addTab(p, caption);
    };

    auto *generalSample = new QWidget;
    auto *generalRow = new QHBoxLayout(generalSample);
    LaGen_ = new QLabel(QStringLiteral("제목"), generalSample);
    LaGen_->setObjectName(QStringLiteral("LaGen"));
    eGen_ = new QLineEdit(QStringLiteral("하늘에 계신 우리 아버지"), generalSample);
    eGen_->setObjectName(QStringLiteral("eGen"));
    eGen_->setReadOnly(true);
    LaGen_->setBuddy(eGen_);
    describe(eGen_, QStringLiteral("보기"));
    generalRow->addWidget(LaGen_);
    generalRow->addWidget(eGen_, 1);
    page(QStringLiteral("일반항목"), sGeneral, generalSample);

    Memo1_ = new QPlainTextEdit;
    Memo1_->setObjectName(QStringLiteral("Memo1"));
    Memo1_->setPlainText(QStringLiteral("하늘에 계신 우리 아버지 이름이 거룩히 여\n김을 받으시오며 나라이 임하옵시고...."));
    describe(Memo1_, QStringLiteral("보기"));
    page(QStringLiteral("설교원고"), sManuscript, Memo1_);

    QPushButton *ok = button(QStringLiteral("확인"), QStringLiteral("Button1"), this);
    QPushButton *cancel = button(QStringLiteral("취소"), QStringLiteral("Button2"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, asCommand([this] { Button1Click(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showSamples();
    resize(380, 260);
}

void Tfmfont::Execute(const FontLook &manuscript, const FontLook &general, ColourOnScreen onScreen,
                      const QString &iniPath, std::function<void()> applied, QWidget *parent)
{
    Tfmfont window(manuscript, general, std::move(onScreen), iniPath, std::move(applied), parent);
    runModal(&window);
}

void Tfmfont::showSamples()
{
    const auto paint = [this](QWidget *w, const FontLook &l, bool box) {
        w->setFont(l.font);
        QPalette p = w->palette();
        p.setColor(box ? QPalette::Text : QPalette::WindowText, onScreen_(l.text));
        if (box)
            p.setColor(QPalette::Base, onScreen_(l.base));
        w->setPalette(p);
    };
    paint(eGen_, general_, true);
    paint(LaGen_, general_, false);
    paint(Memo1_, manuscript_, true);
}

// The sample shows the font as chosen, bold and italic too; only its name
// and size are stored.
void Tfmfont::chooseFont(Sample s)
{
    const QString chosen = verbana::chooseFont(look(s).font.toString());
    if (chosen.isEmpty())
        return;
    QFont f;
    if (f.fromString(chosen))
        look(s).font = f;
    showSamples();
}

void Tfmfont::chooseColour(Sample s, bool background)
{
    colours::TColor &c = background ? look(s).base : look(s).text;
    const QString chosen = verbana::chooseColour(onScreen_(c).name());
    if (chosen.isEmpty())
        return;
    c = stored(QColor::fromString(chosen));
    showSamples();
}

// The eight keys are stored in one write; then the main window reads and
// applies them. A file that cannot be written changes nothing.
void Tfmfont::Button1Click()
{
    const QString section = QStringLiteral("글꼴");
    Profile::Changes changes;
    const auto put = [&](const QString &prefix, const FontLook &l) {
        const QFont f = plain(l.font);
        changes.colour(section, prefix + QStringLiteral("색"), l.text)
            .string(section, prefix + QStringLiteral("명"), f.family())
            .integer(section, prefix + QStringLiteral("고"), f.pointSize())
            .colour(section, prefix + QStringLiteral("바탕색"), l.base);
    };
    put(QStringLiteral("원고"), manuscript_);
    put(QStringLiteral("일반"), general_);
    Profile(iniPath_).write(changes);
    if (applied_)
        applied_();
    accept();
}

} // namespace verbana::settings::ui
