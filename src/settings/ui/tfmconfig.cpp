// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/tfmconfig.h"

#include "platform/commands.h"
#include "platform/described.h"
#include "platform/help.h"
#include "platform/prompts.h"
#include "settings/profile.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace verbana::settings::ui {
namespace {

const QString kSaveHint = QStringLiteral("저장 + 적용");
// The cancel buttons carry this hint, though they only close the window.
const QString kCancelHint = QStringLiteral("저장 X , 적용만 함");

QPushButton *button(const QString &caption, const QString &hint, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    describe(b, caption, hint);
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout *buttonRow(QPushButton *ok, QPushButton *cancel)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

const std::array<QString, 4> &Tfmconfig::listSections()
{
    static const std::array<QString, 4> sections = {QStringLiteral("설교형식"), QStringLiteral("설교방향"),
                                                    QStringLiteral("예배종류"), QStringLiteral("설교장소")};
    return sections;
}

QStringList memoLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

Tfmconfig::Tfmconfig(QString iniPath, std::function<void()> listsChanged, QWidget *parent)
    : QDialog(parent), iniPath_(std::move(iniPath)), listsChanged_(std::move(listsChanged))
{
    setObjectName(QStringLiteral("Tfmconfig"));
    setWindowTitle(QStringLiteral("환경설정"));
    setProperty(kHelpTopicProperty, 10);
    setSizeGripEnabled(true);
    auto *column = new QVBoxLayout(this);
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("Notebook1"));
    column->addWidget(pages_);

    // Page 일반.
    auto *general = new QWidget;
    auto *generalColumn = new QVBoxLayout(general);
    auto *frame = new QGroupBox(general);
    auto *frameColumn = new QVBoxLayout(frame);
    cbFirstHelp_ = new QCheckBox(QStringLiteral("시작 도우미 보이기"), frame);
    cbFirstHelp_->setObjectName(QStringLiteral("cbFirstHelp"));
    cbHwpMess_ = new QCheckBox(QStringLiteral("아래아 한글 실행전에 확인 메세지 보이기"), frame);
    cbHwpMess_->setObjectName(QStringLiteral("cbHwpMess"));
    for (QCheckBox *c : {cbFirstHelp_, cbHwpMess_}) {
        describe(c, c->text());
        frameColumn->addWidget(c);
    }
    generalColumn->addWidget(frame);
    auto *note = new QLabel(QStringLiteral("설교형식, 설교방향,예배종류 등의 항목에\r\n입력 예약된 내용들을 수정하려면 "
                                           "\r\n아래의 단추를 클릭하십시오."),
                            general);
    generalColumn->addWidget(note);
    QPushButton *toLists = button(QStringLiteral("항목 수정"), QString(), "SpeedButton1", general);
    generalColumn->addWidget(toLists, 0, Qt::AlignLeft);
    generalColumn->addStretch(1);
    QPushButton *saveGen = button(QStringLiteral("확인"), kSaveHint, "btnSaveGen", general);
    QPushButton *cancel1 = button(QStringLiteral("취소"), kCancelHint, "btncancel1", general);
    generalColumn->addLayout(buttonRow(saveGen, cancel1));
    pages_->addWidget(general);

    // Page 항목: one text box per list, one word a line.
    auto *lists = new QWidget;
    auto *listColumn = new QVBoxLayout(lists);
    tabs_ = new QTabWidget(lists);
    tabs_->setObjectName(QStringLiteral("tcLists"));
    for (size_t i = 0; i < memos_.size(); ++i) {
        auto *memo = new QPlainTextEdit;
        memo->setObjectName(QStringLiteral("Memo%1").arg(i + 2));
        memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        describe(memo, listSections()[i]);
        tabs_->addTab(memo, listSections()[i]);
        memos_[i] = memo;
    }
    listColumn->addWidget(tabs_, 1);
    QPushButton *listOk = button(QStringLiteral("확인"), kSaveHint, "btnListOK", lists);
    QPushButton *cancel2 = button(QStringLiteral("취소"), kCancelHint, "btnCancel2", lists);
    listColumn->addLayout(buttonRow(listOk, cancel2));
    pages_->addWidget(lists);

    connect(toLists, &QPushButton::clicked, this, [this] { pages_->setCurrentIndex(pgLists); });
    connect(saveGen, &QPushButton::clicked, this, asCommand([this] { btnSaveGenClick(); }));
    connect(listOk, &QPushButton::clicked, this, asCommand([this] { btnListOKClick(); }));
    connect(cancel1, &QPushButton::clicked, this, &QDialog::reject);
    connect(cancel2, &QPushButton::clicked, this, &QDialog::reject);
    resize(360, 300);
}

void Tfmconfig::readFile()
{
    const Profile profile(iniPath_);
    for (size_t i = 0; i < memos_.size(); ++i) {
        const QStringList words = profile.readList(listSections()[i]);
        memos_[i]->setPlainText(words.join(QLatin1Char('\n')));
    }
    cbFirstHelp_->setChecked(profile.readBool(QStringLiteral("첫화면"), QStringLiteral("help"), true));
    cbHwpMess_->setChecked(!profile.readBool(QStringLiteral("하안글"), QStringLiteral("Q실행"), false));
}

void Tfmconfig::Execute(Page page)
{
    readFile();
    pages_->setCurrentIndex(page);
    tabs_->setCurrentIndex(3); // 설교장소 in front
    runModal(this);
}

void Tfmconfig::btnSaveGenClick()
{
    Profile(iniPath_).write(Profile::Changes()
                                .boolean(QStringLiteral("하안글"), QStringLiteral("Q실행"), !cbHwpMess_->isChecked())
                                .boolean(QStringLiteral("첫화면"), QStringLiteral("help"), cbFirstHelp_->isChecked()));
    accept();
}

// The four lists are stored in one write, then handed to the sermon form:
// a file that cannot be written leaves both the file and the form as
// they were, and the window open.
void Tfmconfig::btnListOKClick()
{
    Profile::Changes changes;
    for (size_t i = 0; i < memos_.size(); ++i)
        changes.list(listSections()[i], memoLines(memos_[i]->toPlainText()));
    Profile(iniPath_).write(changes);
    if (listsChanged_)
        listsChanged_();
    accept();
}

} // namespace verbana::settings::ui
