// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics page as the user drives it: its strip and switch, the
// counts shown in both charts, the refusal while editing, a click ignored
// during a count, the bar window, the pie's rotation, and printing.
#include "editing/window_helpers.h"

#include "platform/cp949.h"
#include "stats/ui/bar_chart.h"
#include "stats/ui/pie_chart.h"
#include "stats/ui/statistics_commands.h"
#include "stats/ui/statistics_page.h"
#include "store/sermon_record.h"
#include "support/accessibility.h"

#include <QAbstractButton>
#include <QPieSeries>
#include <QPieSlice>
#include <QPrintDialog>
#include <QPrinter>
#include <QImage>
#include <QProcess>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>

namespace verbana::test {
namespace {

using stats::ChartPoint;
using stats::ChartPoints;
using stats::ui::BarChart;
using stats::ui::PieChart;
using stats::ui::StatisticsPage;

class StatsWindowTest : public WindowTest {
protected:
    void addCommands(editing::Tfmverbdesk &w) override
    {
        statistics = new stats::ui::StatisticsCommands(w);
    }
    void openStats(const std::vector<SermonRow> &rows)
    {
        open(rows);
        auto *pages = child<QTabWidget>("PageControl1");
        ASSERT_EQ(pages->tabText(3), QStringLiteral("통계"));
        pages->setCurrentIndex(3);
        page = child<StatisticsPage>("tsStats");
    }
    void set(uint32_t recno, int field, const char *utf8)
    {
        xbase::TApolloTable &t = collection->table();
        const uint32_t at = t.RecNo();
        t.Go(recno);
        t.Edit();
        t.PutString(field, cp(utf8));
        t.Post();
        t.Go(at);
    }
    void click(int number) { QTest::mouseClick(page->countButton(number), Qt::LeftButton); }
    BarChart *bar() const { return page->barChart(); }
    PieChart *pie() const { return page->pieChart(); }
    // What the pie shows: label and colour of each slice.
    std::vector<std::pair<QString, QColor>> slices() const
    {
        std::vector<std::pair<QString, QColor>> shown;
        for (QPieSlice *s : pie()->series()->slices())
            shown.emplace_back(s->label(), s->color());
        return shown;
    }

    stats::ui::StatisticsCommands *statistics = nullptr;
    StatisticsPage *page = nullptr;
};

TEST_F(StatsWindowTest, StripTextsSwitchAndStates)
{
    openStats({{"2001.01.01", "a", "", "창12:1"}});
    const std::pair<int, const char *> buttons[] = {{0, "신약/구약"}, {1, "구약책별"},   {2, "신약책별"},  {5, "설교형식별"},
                                                    {6, "설교방향별"}, {7, "예배종류별"}, {8, "설교장소별"}};
    for (const auto &[number, caption] : buttons) {
        QAbstractButton *b = page->countButton(number);
        ASSERT_NE(b, nullptr) << number;
        EXPECT_EQ(b->text(), QString::fromUtf8(caption));
        EXPECT_EQ(b->accessibleName(), QString::fromUtf8(caption));
        EXPECT_EQ(b->toolTip(), QStringLiteral("클릭"));
        EXPECT_EQ(b->accessibleDescription(), QStringLiteral("클릭 각 종류별 설교횟수를 그래프로 보여줌. 약간의 시간이 소요됨..."));
        EXPECT_FALSE(b->isChecked());
        EXPECT_TRUE(b->isVisible());
    }
    EXPECT_EQ(child<QAbstractButton>("btnBar")->text(), QStringLiteral("막대 그래프"));
    EXPECT_EQ(child<QAbstractButton>("btnPie")->text(), QStringLiteral("파이 그래프"));
    EXPECT_EQ(child<QAbstractButton>("btnPrint")->text(), QStringLiteral("그래프 인쇄"));
    EXPECT_EQ(page->progressLine()->height(), 1);
    EXPECT_EQ(bar()->resetButton()->text(), QStringLiteral("리셋"));
    EXPECT_EQ(pie()->rotateButton()->text(), QStringLiteral("회전"));
    EXPECT_EQ(unnamedControls(window.get()), "");

    // Pie at start; the pair switches the page, one of them always pressed.
    EXPECT_TRUE(child<QAbstractButton>("btnPie")->isChecked());
    EXPECT_FALSE(page->barShown());
    EXPECT_TRUE(pie()->isVisible());
    QTest::mouseClick(child<QAbstractButton>("btnBar"), Qt::LeftButton);
    EXPECT_TRUE(page->barShown());
    EXPECT_TRUE(bar()->isVisible());
    QTest::mouseClick(child<QAbstractButton>("btnBar"), Qt::LeftButton);
    EXPECT_TRUE(child<QAbstractButton>("btnBar")->isChecked());
    QTest::mouseClick(child<QAbstractButton>("btnPie"), Qt::LeftButton);
    EXPECT_FALSE(page->barShown());
    EXPECT_FALSE(child<QAbstractButton>("btnBar")->isChecked());

    // Without a collection the page is there but disabled.
    window->unbindCollection();
    EXPECT_FALSE(page->isEnabled());
}

// Without a mouse: Tab reaches the buttons, Space and Enter press them,
// and so does a screen reader's action, which only toggles a button.
TEST_F(StatsWindowTest, ButtonsWorkFromTheKeyboardAndTheAccessibleAction)
{
    openStats({{"2001.01.01", "a", "", "창12:1"}, {"2001.01.02", "b", "", "마1:1"}});
    QAbstractButton *testaments = page->countButton(0);
    EXPECT_EQ(testaments->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    QTest::keyClick(testaments, Qt::Key_Space);
    EXPECT_EQ(page->pressed(), 0);
    EXPECT_TRUE(testaments->isChecked());
    EXPECT_EQ(pie()->series()->count(), 2);

    QTest::keyClick(page->countButton(1), Qt::Key_Return);
    EXPECT_EQ(page->pressed(), 1);

    const auto act = [](QAbstractButton *b) {
        QAccessibleInterface *button = QAccessible::queryAccessibleInterface(b);
        ASSERT_NE(button, nullptr);
        ASSERT_NE(button->actionInterface(), nullptr);
        const QStringList actions = button->actionInterface()->actionNames();
        ASSERT_FALSE(actions.isEmpty());
        button->actionInterface()->doAction(actions.first());
    };
    act(testaments);
    EXPECT_EQ(page->pressed(), 0);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(testaments)->state().checked);
    act(child<QAbstractButton>("btnBar"));
    EXPECT_TRUE(page->barShown());
    QTest::keyClick(child<QAbstractButton>("btnPie"), Qt::Key_Enter);
    EXPECT_FALSE(page->barShown());
}

TEST_F(StatsWindowTest, CountsShowTheSamePointsInBothChartsAndKeepTheSermon)
{
    openStats({{"2001.01.01", "a", "", "창12:1"}, {"2001.01.02", "b", "", "요3:16"}, {"2001.01.03", "c", "", "롬8:28"}});
    set(1, store::fSACRE, "주일낮예배");
    set(2, store::fSACRE, "수요예배");
    set(3, store::fSACRE, "주일낮예배");
    set(1, store::fBIBLENO, "01012001");
    set(2, store::fBIBLENO, "43003016");
    const uint32_t current = collection->table().RecNo();

    click(0);
    EXPECT_EQ(bar()->points(), (ChartPoints{{QStringLiteral("구약"), 1, QColor(Qt::red)},
                                            {QStringLiteral("신약"), 2, QColor(0, 255, 0)}}));
    EXPECT_EQ(pie()->points(), bar()->points());
    EXPECT_EQ(slices(), (std::vector<std::pair<QString, QColor>>{{QStringLiteral("구약 1"), QColor(Qt::red)},
                                                                 {QStringLiteral("신약 2"), QColor(0, 255, 0)}}));
    EXPECT_EQ(pie()->series()->name(), QStringLiteral("횟수"));
    EXPECT_TRUE(page->countButton(0)->isChecked());
    EXPECT_EQ(page->pressed(), 0);
    EXPECT_EQ(collection->table().RecNo(), current);
    EXPECT_EQ(page->progressLine()->value(), 0);
    EXPECT_EQ(page->progressLine()->maximum(), 1); // the walk of 3, then the one sermon given a key
    EXPECT_FALSE(statistics->statisticsBusy());
    EXPECT_EQ(collection->storedField(3, store::fBIBLENO), QByteArray("45008028  "));

    // Categories in the order met, in the automatic colours; the bars stand
    // in that order from left to right.
    click(7);
    EXPECT_EQ(bar()->points(), (ChartPoints{{QStringLiteral("주일낮예배"), 2, QColor()},
                                            {QStringLiteral("수요예배"), 1, QColor()}}));
    EXPECT_EQ(slices(), (std::vector<std::pair<QString, QColor>>{
                            {QStringLiteral("주일낮예배 2"), stats::ui::pointColour(bar()->points(), 0)},
                            {QStringLiteral("수요예배 1"), stats::ui::pointColour(bar()->points(), 1)}}));
    EXPECT_NE(stats::ui::pointColour(bar()->points(), 0), stats::ui::pointColour(bar()->points(), 1));
    EXPECT_TRUE(page->countButton(7)->isChecked());
    EXPECT_FALSE(page->countButton(0)->isChecked());
    page->showBar(true);
    QTest::qWait(0);
    const QRectF first = bar()->barRect(0), second = bar()->barRect(1);
    ASSERT_FALSE(first.isNull());
    EXPECT_LT(first.right(), second.left());
    EXPECT_NEAR(first.height(), 2 * second.height(), 1.0);
    EXPECT_EQ(collection->table().RecNo(), current);
}

TEST_F(StatsWindowTest, RefusedWhileEditingAndIgnoredWhileACountRuns)
{
    openStats({{"2001.01.01", "a", "", "창12:1"}, {"2001.01.02", "b", "", "요3:16"}});
    click(1);
    EXPECT_EQ(bar()->points(), (ChartPoints{{QStringLiteral("창"), 1, QColor()}}));

    // Editing a sermon: the message, no count, the earlier button pressed.
    press(Qt::Key_F11);
    ASSERT_TRUE(window->changing());
    prompts->ok();
    click(2);
    EXPECT_EQ(prompts->texts().last(), QStringLiteral("자료를 수정/추가 중입니다.\r자료를 저장/취소 하신 후에 실행하십시오."));
    EXPECT_TRUE(page->countButton(1)->isChecked());
    EXPECT_EQ(bar()->points(), (ChartPoints{{QStringLiteral("창"), 1, QColor()}}));
    EXPECT_TRUE(window->changing());
    press(Qt::Key_F12, Qt::ShiftModifier);

    // During a count the busy mark is set: a click on another button, by
    // the mouse or otherwise, does nothing.
    bool sawBusy = false;
    int lineAt = 0;
    QTimer::singleShot(0, page, [&] {
        sawBusy = statistics->statisticsBusy();
        lineAt = page->progressLine()->value();
        QTest::mouseClick(page->countButton(8), Qt::LeftButton);
        page->countButton(5)->click();
        EXPECT_TRUE(page->countButton(2)->isChecked());
    });
    click(2);
    EXPECT_TRUE(sawBusy);
    EXPECT_GT(lineAt, 0); // the progress line moved while the count ran
    EXPECT_EQ(page->progressLine()->value(), 0);
    EXPECT_TRUE(page->countButton(2)->isChecked());
    EXPECT_EQ(bar()->points(), (ChartPoints{{QStringLiteral("요"), 1, QColor()}}));
    EXPECT_FALSE(statistics->statisticsBusy());
}

TEST_F(StatsWindowTest, BarWindowMovesWithTheArrowsAndDragAndResets)
{
    std::vector<SermonRow> rows;
    const char *places[] = {"가", "나", "다", "라", "마", "바", "사", "아"};
    for (int i = 0; i < 8; ++i)
        rows.push_back({"2001.01.01", places[i]});
    openStats(rows);
    for (uint32_t i = 1; i <= 8; ++i)
        set(i, store::fWHERE, places[i - 1]);
    QTest::mouseClick(child<QAbstractButton>("btnBar"), Qt::LeftButton);
    click(8);
    ASSERT_EQ(bar()->points().size(), 8u);
    EXPECT_EQ(bar()->windowMin(), -0.5);
    EXPECT_EQ(bar()->windowMax(), 5.5);
    EXPECT_EQ(bar()->barWidthPixels(), bar()->width() / 12);
    EXPECT_FALSE(bar()->barRect(5).isNull());
    EXPECT_TRUE(bar()->barRect(6).isNull());
    EXPECT_EQ(bar()->leftButton()->autoRepeatInterval(), 400);
    EXPECT_EQ(bar()->rightButton()->autoRepeatInterval(), 400);
    EXPECT_TRUE(bar()->leftButton()->autoRepeat());

    // The left arrow shows the later bars, never past the last.
    for (double max : {6.5, 7.5, 7.5}) {
        QTest::mouseClick(bar()->leftButton(), Qt::LeftButton);
        EXPECT_EQ(bar()->windowMax(), max);
    }
    EXPECT_FALSE(bar()->barRect(7).isNull());
    EXPECT_TRUE(bar()->barRect(0).isNull());
    for (double min : {0.5, -0.5, -0.5}) {
        QTest::mouseClick(bar()->rightButton(), Qt::LeftButton);
        EXPECT_EQ(bar()->windowMin(), min);
    }

    // Dragged to the left by about one position, the window follows.
    QWidget *area = bar()->viewport();
    const QPoint from(area->width() / 2, area->height() / 2);
    const int step = int(bar()->chart()->plotArea().width() / BarChart::kPositions);
    QTest::mousePress(area, Qt::LeftButton, {}, from);
    QTest::mouseMove(area, from - QPoint(step, 0));
    QTest::mouseRelease(area, Qt::LeftButton, {}, from - QPoint(step, 0));
    EXPECT_NEAR(bar()->windowMin(), 0.5, 0.05);

    bar()->resize(bar()->width() + 120, bar()->height());
    QTest::mouseClick(bar()->resetButton(), Qt::LeftButton);
    EXPECT_EQ(bar()->windowMin(), -0.5);
    EXPECT_EQ(bar()->barWidthPixels(), bar()->width() / 12);

    // Fewer than six bars: the window stays on the first six positions.
    click(0);
    QTest::mouseClick(bar()->leftButton(), Qt::LeftButton);
    EXPECT_EQ(bar()->windowMin(), -0.5);
}

TEST_F(StatsWindowTest, PieTurnsTwoDegreesBackPerStepWhileRotating)
{
    // Nothing counted: the testament chart still shows its two zero points.
    openStats({{"2001.01.01", "a"}});
    click(0);
    EXPECT_EQ(bar()->points(), (ChartPoints{{QStringLiteral("구약"), 0, QColor(Qt::red)},
                                            {QStringLiteral("신약"), 0, QColor(0, 255, 0)}}));
    EXPECT_EQ(pie()->series()->count(), 2);
    EXPECT_FALSE(pie()->rotating());
    QTest::mouseClick(pie()->rotateButton(), Qt::LeftButton);
    EXPECT_TRUE(pie()->rotating());
    pie()->turn();
    EXPECT_EQ(pie()->startAngle(), 358.0);
    pie()->turn();
    EXPECT_EQ(pie()->startAngle(), 356.0);
    EXPECT_EQ(pie()->series()->pieEndAngle(), 716.0);
    QTest::mouseClick(pie()->rotateButton(), Qt::LeftButton);
    EXPECT_FALSE(pie()->rotating());
}

// The number of pages of a PDF, and its first page as an image.
std::pair<int, QImage> readPdf(const QString &path)
{
    QProcess info, render;
    info.start(QStringLiteral("pdfinfo"), {path});
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-png"), QStringLiteral("-singlefile"), path});
    if (!info.waitForFinished() || !render.waitForFinished())
        return {};
    int pages = 0;
    for (const QString &line : QString::fromUtf8(info.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:")))
            pages = line.mid(6).trimmed().toInt();
    return {pages, QImage::fromData(render.readAllStandardOutput(), "PNG")};
}

// The share of an image's pixels in about that colour.
double shareOf(const QImage &image, const QColor &colour)
{
    qint64 near = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) + std::abs(c.blue() - colour.blue()) < 30)
                ++near;
        }
    return image.isNull() ? 0 : double(near) / (double(image.width()) * image.height());
}

TEST_F(StatsWindowTest, PrintsTheChartShownAsOnePage)
{
    openStats({{"2001.01.01", "a", "", "창12:1"}, {"2001.01.02", "b", "", "요3:16"}, {"2001.01.03", "c", "", "요3:17"}});
    click(0); // stores the keys that 신약책별 reads
    click(2);
    QTemporaryDir out;
    const auto printTo = [&](const QString &name) {
        prompts->yes().modal(QStringLiteral("dlgPrintChart"), [&](QWidget &w) {
            auto &dialog = static_cast<QPrintDialog &>(w);
            dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog.printer()->setOutputFileName(out.filePath(name));
            dialog.done(QDialog::Accepted);
        });
        QTest::mouseClick(child<QAbstractButton>("btnPrint"), Qt::LeftButton);
        EXPECT_EQ(prompts->texts().first(), QStringLiteral("현재 그래프를 인쇄하시겠습니까?"));
        prompts->clear();
        return readPdf(out.filePath(name));
    };
    // One page each, the slice or the bar in the colour of the point
    // (the pie fills more of the page than the thin bar).
    const QColor colour = stats::ui::pointColour(bar()->points(), 0);
    const auto [piePages, pieImage] = printTo(QStringLiteral("pie.pdf"));
    EXPECT_EQ(piePages, 1);
    EXPECT_GT(shareOf(pieImage, colour), 0.02);
    page->showBar(true);
    const auto [barPages, barImage] = printTo(QStringLiteral("bar.pdf"));
    EXPECT_EQ(barPages, 1);
    EXPECT_GT(shareOf(barImage, colour), 0.002);
    EXPECT_LT(shareOf(barImage, colour), shareOf(pieImage, colour));

    // 아니오: nothing is printed.
    prompts->no();
    QTest::mouseClick(child<QAbstractButton>("btnPrint"), Qt::LeftButton);
    EXPECT_EQ(prompts->pending(), 0);
}

} // namespace
} // namespace verbana::test
