// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/ui/tfmfnote.h"
#include "platform/progress_bar.h"

#include "exchange/ui/batch_import_window.h"

#include "exchange/foreign_tables.h"
#include "platform/commands.h"
#include "platform/cp949.h"
#include "platform/described.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "store/view_walk.h"
#include "store/xbase/apollo_table.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace verbana::exchange::ui {

namespace {

QTableWidget *noteGrid(const char *name, QWidget *parent)
{
    auto *grid = new QTableWidget(0, 4, parent);
    grid->setObjectName(QLatin1String(name));
    describe(grid, QStringLiteral("Notavia 자료"));
    grid->setHorizontalHeaderLabels({QStringLiteral("TIT1"), QStringLiteral("TIT2"), QStringLiteral("TIT3"),
                                     QStringLiteral("TIT4")});
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int c = 0; c < 4; ++c)
        grid->setColumnWidth(c, grid->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 16);
    return grid;
}

QPushButton *button(const QString &caption, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    describe(b, caption);
    return b;
}

} // namespace

Tfmfnote::Tfmfnote(store::CollectionDocument &document, QWidget *parent)
    : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("fmfnote"));
    setWindowTitle(QStringLiteral("\"Notavia\"용 파일 내용 복사"));
    setProperty("helpTopic", 2450);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    Notebook1 = new QStackedWidget(this);
    Notebook1->setObjectName(QStringLiteral("Notebook1"));

    auto *fileCard = new QWidget;
    fileCard->setObjectName(QStringLiteral("파일지정"));
    btnOpenfile = button(QStringLiteral("파일 부르기"), "btnOpenfile", fileCard);
    laFname = new QLabel(fileCard);
    laFname->setObjectName(QStringLiteral("laFname"));
    laFname->setWordWrap(true);
    DBGrid1 = noteGrid("DBGrid1", fileCard);
    laEA = new QLabel(fileCard);
    laEA->setObjectName(QStringLiteral("laEA"));
    SpeedButton2 = button(QStringLiteral("다음단계로"), "SpeedButton2", fileCard);
    auto *fileLayout = new QVBoxLayout(fileCard);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("먼저, Notavia용 파일을 지정해주십시오."), fileCard), 1);
    top->addWidget(btnOpenfile);
    fileLayout->addLayout(top);
    fileLayout->addWidget(laFname);
    fileLayout->addWidget(DBGrid1, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(laEA, 1);
    bottom->addWidget(SpeedButton2);
    fileLayout->addLayout(bottom);

    auto *fieldCard = new QWidget;
    fieldCard->setObjectName(QStringLiteral("필드배정"));
    DBGrid2 = noteGrid("DBGrid2", fieldCard);
    auto *combos = new QHBoxLayout;
    QComboBox **boxes[] = {&ComboBox1, &ComboBox2, &ComboBox3, &ComboBox4};
    const auto presets = notaviaPresets();
    for (int i = 0; i < 4; ++i) {
        auto *box = new QComboBox(fieldCard);
        box->setObjectName(QStringLiteral("ComboBox%1").arg(i + 1));
        box->addItems(notaviaLabels());
        box->setCurrentText(presets[i]);
        describe(box, QStringLiteral("TIT%1").arg(i + 1));
        combos->addWidget(box);
        *boxes[i] = box;
    }
    SpeedButton3 = button(QStringLiteral("복사 시작"), "SpeedButton3", fieldCard);
    SpeedButton1 = button(QStringLiteral("취소 닫기"), "SpeedButton1", fieldCard);
    auto *fieldLayout = new QVBoxLayout(fieldCard);
    fieldLayout->addWidget(new QLabel(QStringLiteral("각각의 자료들이 설교파일의 어느 항목에 복사되도록 할 것인지 아래에서\n"
                                                     "지정해주십시오. 내용항목(설교원고)은 자동으로 지정됩니다."),
                                      fieldCard));
    fieldLayout->addWidget(DBGrid2, 1);
    fieldLayout->addLayout(combos);
    auto *commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(SpeedButton3);
    commands->addWidget(SpeedButton1);
    fieldLayout->addLayout(commands);

    Notebook1->addWidget(fileCard);
    Notebook1->addWidget(fieldCard);
    Gauge1 = progressLine(this, 2, QStringLiteral("red"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addWidget(Notebook1, 1);
    layout->addWidget(Gauge1);

    connect(btnOpenfile, &QPushButton::clicked, this, asCommand([this] { btnOpenfileClick(); }));
    connect(SpeedButton2, &QPushButton::clicked, this, asCommand([this] { SpeedButton2Click(); }));
    connect(SpeedButton3, &QPushButton::clicked, this, asCommand([this] { SpeedButton3Click(); }));
    connect(SpeedButton1, &QPushButton::clicked, this, &Tfmfnote::reject);
    resize(560, 380);
}

Tfmfnote::~Tfmfnote() = default;

void Tfmfnote::btnOpenfileClick()
{
    const QString file = chooseOpenFile(QStringLiteral("Notavia 파일 부르기"), QString(),
                                        QStringLiteral("Notavia 파일 (*.smt *.SMT)"));
    if (file.trimmed().isEmpty())
        return;
    laFname->clear();
    laEA->clear();
    DBGrid1->setRowCount(0);
    DBGrid2->setRowCount(0);
    notes_ = std::make_unique<xbase::TApolloTable>();
    try {
        openNotaviaTable(*notes_, file);
    } catch (const EUserError &e) {
        notes_.reset();
        showInformation(e.text());
        return;
    }
    showNotes();
    if (const QString refusal = notaviaRefusal(*notes_); !refusal.isEmpty()) {
        showInformation(refusal);
        return;
    }
    const uint32_t count = notes_->Count();
    laFname->setText(file);
    laEA->setText(QStringLiteral("자료수: ") + QString::number(count));
    notes_->GoTop();
}

// The grids show the fields from the 7th on (the four titles of a note).
void Tfmfnote::showNotes()
{
    const int fields = std::min(notes_->FieldCount(), 10) - 6;
    std::vector<std::vector<QString>> rows;
    notes_->SetOrder(0);
    for (store::ViewWalk walk(*notes_); !walk.done(); walk.next()) {
        std::vector<QString> row;
        for (int f = 0; f < fields; ++f)
            row.push_back(cp949::decode(notes_->GetString(7 + f)));
        rows.push_back(std::move(row));
    }
    for (QTableWidget *grid : {DBGrid1, DBGrid2}) {
        grid->setRowCount(int(rows.size()));
        for (int c = 0; c < 4; ++c)
            grid->setColumnHidden(c, c >= fields);
        for (int r = 0; r < int(rows.size()); ++r)
            for (int c = 0; c < fields; ++c)
                grid->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    }
}

void Tfmfnote::SpeedButton2Click()
{
    if (!laFname->text().isEmpty() && notes_ && notes_->Active())
        Notebook1->setCurrentIndex(1);
}

void Tfmfnote::SpeedButton3Click()
{
    if (!notes_ || !notes_->Active())
        return;
    std::array<QByteArray, 4> fields;
    QComboBox *boxes[] = {ComboBox1, ComboBox2, ComboBox3, ComboBox4};
    for (int i = 0; i < 4; ++i)
        fields[i] = notaviaField(boxes[i]->currentText());
    Gauge1->setValue(0);
    setEnabled(false);
    CopyOutcome outcome;
    try {
        BarProgress progress(Gauge1, QEventLoop::ExcludeUserInputEvents);
        outcome = importNotavia(document_, *notes_, fields, &progress);
    } catch (...) {
        setEnabled(true);
        throw;
    }
    setEnabled(true);
    Gauge1->setValue(0);
    notes_.reset();
    if (afterRun_)
        afterRun_();
    if (outcome.complete())
        showInformation(outcome.message());
    else
        showError(outcome.message());
    accept();
}

} // namespace verbana::exchange::ui
