// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/statistics_page.h"

#include "platform/commands.h"
#include "platform/described.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "stats/ui/bar_chart.h"
#include "stats/ui/flow_layout.h"
#include "stats/ui/pie_chart.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace verbana::stats::ui {

namespace {

const QColor kStrip(0x00, 0x00, 0x80); // dark blue

const QString kCountHint = QStringLiteral("클릭|각 종류별 설교횟수를 그래프로 보여줌.  약간의 시간이 소요됨...");

QToolButton *stripButton(QWidget *strip, const QString &caption, const QString &objectName,
                         const QString &hint = QString())
{
    auto *b = new QToolButton(strip);
    b->setObjectName(objectName);
    b->setText(caption);
    // Reached with Tab (a click leaves the focus where it was), pressed
    // with Space or Enter.
    b->setFocusPolicy(Qt::TabFocus);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    describe(b, caption, hint);
    return b;
}

} // namespace

StatisticsPage::StatisticsPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tsStats"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("pnlStats"));
    strip->setAutoFillBackground(true);
    QPalette pal = strip->palette();
    pal.setColor(QPalette::Window, kStrip);
    strip->setPalette(pal);
    auto *flow = new FlowLayout(strip, 3);
    flow->setContentsMargins(3, 3, 3, 3);

    counts_ = new QButtonGroup(this);
    counts_->setExclusive(true);
    const struct {
        int number;
        const char *name;
        QString caption;
    } countButtons[] = {
        {0, "btnTongON", QStringLiteral("신약/구약")},   {1, "btnTongOld", QStringLiteral("구약책별")},
        {2, "btnTongNew", QStringLiteral("신약책별")},   {5, "btnStype", QStringLiteral("설교형식별")},
        {6, "btnAim", QStringLiteral("설교방향별")},     {7, "btnSac", QStringLiteral("예배종류별")},
        {8, "btnWhere", QStringLiteral("설교장소별")},
    };
    for (const auto &c : countButtons) {
        QToolButton *b = stripButton(strip, c.caption, QLatin1String(c.name), kCountHint);
        b->setCheckable(true);
        counts_->addButton(b, c.number);
        flow->addWidget(b);
    }
    // A count runs when its button goes down, by a click, Space, Enter or
    // the accessible action, and when the button already down is pressed
    // again; never when the page itself sets which button is down.
    connect(counts_, &QButtonGroup::idPressed, this,
            [this](int number) { wasDown_ = counts_->button(number)->isChecked(); });
    connect(counts_, &QButtonGroup::idToggled, this, [this](int number, bool down) {
        if (down && !settingPressed_)
            countClicked(number);
    });
    connect(counts_, &QButtonGroup::idClicked, this, [this](int number) {
        if (std::exchange(wasDown_, false))
            countClicked(number);
    });

    // The pair of which one is always pressed: pie at start.
    auto *kinds = new QButtonGroup(this);
    kinds->setExclusive(true);
    btnBar_ = stripButton(strip, QStringLiteral("막대 그래프"), QStringLiteral("btnBar"));
    btnPie_ = stripButton(strip, QStringLiteral("파이 그래프"), QStringLiteral("btnPie"));
    for (QAbstractButton *b : {btnBar_, btnPie_}) {
        b->setCheckable(true);
        kinds->addButton(b);
        flow->addWidget(b);
    }
    btnPie_->setChecked(true);
    btnPrint_ = stripButton(strip, QStringLiteral("그래프 인쇄"), QStringLiteral("btnPrint"));
    flow->addWidget(btnPrint_);
    for (QAbstractButton *b : strip->findChildren<QAbstractButton *>())
        b->installEventFilter(this);
    column->addWidget(strip);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("pbStats"));
    progress_->setFixedHeight(1);
    progress_->setTextVisible(false);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setStyleSheet(QStringLiteral("QProgressBar { border: none; background: #000080; }"
                                            "QProgressBar::chunk { background: red; }"));
    column->addWidget(progress_);

    charts_ = new QStackedWidget(this);
    charts_->setObjectName(QStringLiteral("pcCharts"));
    bar_ = new BarChart(charts_);
    bar_->setAccessibleName(QStringLiteral("막대"));
    pie_ = new PieChart(charts_);
    pie_->setAccessibleName(QStringLiteral("파이"));
    for (QWidget *chart : {static_cast<QWidget *>(bar_), static_cast<QWidget *>(pie_)})
        chart->setMinimumSize(120, 120);
    charts_->addWidget(bar_);
    charts_->addWidget(pie_);
    charts_->setCurrentWidget(pie_);
    column->addWidget(charts_, 1);

    // Down by a click, a key or the accessible action alike.
    connect(btnBar_, &QAbstractButton::toggled, this, [this](bool down) {
        if (down)
            showBar(true);
    });
    connect(btnPie_, &QAbstractButton::toggled, this, [this](bool down) {
        if (down)
            showBar(false);
    });
    connect(btnPrint_, &QAbstractButton::clicked, this, asCommand([this] { PrintChart(); }));
}

StatisticsPage::~StatisticsPage() = default;

QAbstractButton *StatisticsPage::countButton(int number) const { return counts_->button(number); }

bool StatisticsPage::barShown() const { return charts_->currentWidget() == bar_; }

void StatisticsPage::showBar(bool bar)
{
    (bar ? btnBar_ : btnPie_)->setChecked(true);
    charts_->setCurrentWidget(bar ? static_cast<QWidget *>(bar_) : pie_);
}

void StatisticsPage::countClicked(int number)
{
    // The button pressed says which count the charts show: a count that
    // did not run (refused, ignored while another runs, failed) leaves the
    // earlier one pressed.
    const int before = pressed_;
    pressed_ = number;
    if (!counter_ || !counter_(number))
        pressed_ = before;
    setPressed(pressed_);
}

bool StatisticsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            static_cast<QAbstractButton *>(watched)->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StatisticsPage::setPressed(int number)
{
    const QScopedValueRollback<bool> quiet(settingPressed_, true);
    if (QAbstractButton *b = counts_->button(number)) {
        b->setChecked(true);
        return;
    }
    counts_->setExclusive(false);
    for (QAbstractButton *b : counts_->buttons())
        b->setChecked(false);
    counts_->setExclusive(true);
}

void StatisticsPage::showPoints(const ChartPoints &points)
{
    bar_->clear();
    pie_->clear();
    bar_->setPoints(points);
    // A hidden page keeps the size it had when last shown: the bar width
    // of 리셋 is taken from the size the chart will have.
    bar_->resize(charts_->size());
    bar_->reset();
    pie_->setPoints(points);
}

void StatisticsPage::PrintChart()
{
    if (!confirm(QStringLiteral("현재 그래프를 인쇄하시겠습니까?")))
        return;
    // Screen resolution: the chart keeps on paper the proportions of its
    // text and drawing that it has on the screen.
    QPrinter printer(QPrinter::ScreenResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("dlgPrintChart"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (runModal(&dialog) != QDialog::Accepted)
        return;
    printShownChart(printer);
}

void StatisticsPage::printShownChart(QPrinter &printer) const
{
    QChartView *chart = barShown() ? static_cast<QChartView *>(bar_) : pie_;
    QPainter painter;
    if (!painter.begin(&printer))
        throw EUserError(QStringLiteral("인쇄를 시작할 수 없습니다."));
    // The chart as the window paints it (its corner buttons are not part
    // of it), scaled to the printable width of the page.
    QWidget *area = chart->viewport();
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    QSize size = area->size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.scale(double(size.width()) / area->width(), double(size.height()) / area->height());
    area->render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    if (!painter.end())
        throw EUserError(QStringLiteral("인쇄를 마치지 못했습니다."));
}

} // namespace verbana::stats::ui
