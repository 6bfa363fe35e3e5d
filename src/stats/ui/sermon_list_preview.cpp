// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/sermon_list_preview.h"

#include "platform/commands.h"
#include "platform/described.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace verbana::stats::ui {

namespace {

// Sermons listed per step between events: a few milliseconds of work.
constexpr uint32_t kListStep = 2000;
// Grey around the paper, in pixels.
constexpr int kGutter = 12;

QString pagesText(int count) { return QStringLiteral("/ %1 쪽").arg(count); }

} // namespace

// The page shown, painted at the zoom's resolution when it changes.
class PageView : public QWidget {
public:
    explicit PageView(const SermonListReport &report, QWidget *parent) : QWidget(parent), report_(report)
    {
        setObjectName(QStringLiteral("pgView"));
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
        setPalette(pal);
        setFocusPolicy(Qt::StrongFocus);
        describe(this, QStringLiteral("미리보기"));
    }
    // Pixels per millimetre; shows `page` (-1: no page).
    void showPageAt(int page, double scale)
    {
        if (page == page_ && scale == scale_ && !stale_)
            return;
        page_ = page;
        scale_ = scale;
        stale_ = false;
        image_ = QImage();
        const QSize paper = paperSize();
        setFixedSize(paper.width() + 2 * kGutter, paper.height() + 2 * kGutter);
        update();
    }
    void invalidate() { stale_ = true; }
    // The page keys pressed while the page has the focus.
    std::function<void(int key)> onPageKey;
    QSize paperSize() const
    {
        return QSize(int(std::lround(ListPage::kWidth * scale_)), int(std::lround(ListPage::kHeight * scale_)));
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        switch (event->key()) {
        case Qt::Key_PageDown:
        case Qt::Key_PageUp:
        case Qt::Key_Home:
        case Qt::Key_End:
            onPageKey(event->key());
            return;
        default:
            QWidget::keyPressEvent(event);
        }
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QRect paper(QPoint(kGutter, kGutter), paperSize());
        p.fillRect(paper.translated(3, 3), QColor(0x40, 0x40, 0x40));
        p.fillRect(paper, Qt::white);
        if (page_ < 0)
            return;
        if (image_.isNull()) {
            image_ = QImage(paper.size(), QImage::Format_RGB32);
            const int dotsPerMetre = int(std::lround(scale_ * 1000));
            image_.setDotsPerMeterX(dotsPerMetre);
            image_.setDotsPerMeterY(dotsPerMetre);
            image_.fill(Qt::white);
            QPainter ip(&image_);
            ip.setRenderHint(QPainter::TextAntialiasing);
            report_.paintPage(ip, page_);
        }
        p.drawImage(paper.topLeft(), image_);
    }

private:
    const SermonListReport &report_;
    int page_ = -1;
    double scale_ = 3.0;
    bool stale_ = false;
    QImage image_;
};

SermonListPreview::SermonListPreview(xbase::TApolloTable &table, const ListLayout &layout, const QString &title,
                                     QWidget *parent)
    : QDialog(parent), report_(table, layout, title)
{
    setObjectName(QStringLiteral("SermonListPreview"));
    setWindowTitle(reportTitle());
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    // The whole screen also where no window manager maximises windows.
    if (QScreen *s = parent ? parent->screen() : QGuiApplication::primaryScreen())
        setGeometry(s->availableGeometry());
    setWindowState(Qt::WindowMaximized);
    listing_ = std::make_unique<ViewListing>(table);
    buildControls();
    updateControls();
}

SermonListPreview::~SermonListPreview() = default;

void SermonListPreview::buildControls()
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    auto *row = new QHBoxLayout;
    column->addLayout(row);
    const auto button = [this, &row](const QString &caption, const QString &hint, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setToolTip(shownHint(hint));
        describe(b, caption, hint);
        row->addWidget(b);
        return b;
    };
    btnFirst_ = button(QStringLiteral("처음"), QStringLiteral("첫 쪽 (Home)"), "btnFirst");
    btnPrior_ = button(QStringLiteral("이전"), QStringLiteral("앞 쪽 (PgUp)"), "btnPrior");
    sbPage_ = new QSpinBox(this);
    sbPage_->setObjectName(QStringLiteral("sbPage"));
    describe(sbPage_, QStringLiteral("쪽"), QStringLiteral("보여줄 쪽 번호"));
    row->addWidget(sbPage_);
    lblPages_ = new QLabel(this);
    lblPages_->setObjectName(QStringLiteral("lblPages"));
    row->addWidget(lblPages_);
    btnNext_ = button(QStringLiteral("다음"), QStringLiteral("다음 쪽 (PgDn)"), "btnNext");
    btnLast_ = button(QStringLiteral("마지막"), QStringLiteral("마지막 쪽 (End)"), "btnLast");
    row->addSpacing(12);
    btnWholePage_ = button(QStringLiteral("쪽 전체"), QStringLiteral("한 쪽을 모두 보기"), "btnWholePage");
    btnPageWidth_ = button(QStringLiteral("쪽 너비"), QStringLiteral("쪽 너비에 맞추기"), "btnPageWidth");
    btnActualSize_ = button(QStringLiteral("100%"), QStringLiteral("실제 크기"), "btnActualSize");
    row->addSpacing(12);
    btnPrint_ = button(QStringLiteral("인쇄"), QStringLiteral("프린터와 쪽을 골라 인쇄"), "btnPrint");
    btnPdf_ = button(QStringLiteral("PDF 저장"), QStringLiteral("PDF 파일로 인쇄"), "btnPdf");
    btnClose_ = button(QStringLiteral("닫기"), QStringLiteral("미리보기 닫기 (Esc)"), "btnClose");
    row->addStretch(1);

    scroller_ = new QScrollArea(this);
    scroller_->setObjectName(QStringLiteral("sbxPages"));
    scroller_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroller_->setBackgroundRole(QPalette::Dark);
    view_ = new PageView(report_, scroller_);
    view_->onPageKey = [this](int key) { pageKey(key); };
    scroller_->setWidget(view_);
    view_->setFocus();
    column->addWidget(scroller_, 1);

    // Under the page: what is being done, how far, and 중지.
    auto *work = new QHBoxLayout;
    column->addLayout(work);
    lblWork_ = new QLabel(this);
    lblWork_->setObjectName(QStringLiteral("lblWork"));
    work->addWidget(lblWork_);
    pbWork_ = new QProgressBar(this);
    pbWork_->setObjectName(QStringLiteral("pbWork"));
    pbWork_->setMaximumWidth(300);
    describe(pbWork_, QStringLiteral("진행"));
    work->addWidget(pbWork_);
    row = work;
    btnStop_ = button(QStringLiteral("중지"), QStringLiteral("목록 만들기나 인쇄를 멈춤"), "btnStop");
    work->addStretch(1);

    connect(btnFirst_, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(btnPrior_, &QPushButton::clicked, this, [this] { showPage(page_ - 1); });
    connect(btnNext_, &QPushButton::clicked, this, [this] { showPage(page_ + 1); });
    connect(btnLast_, &QPushButton::clicked, this, [this] { showPage(report_.pageCount() - 1); });
    connect(sbPage_, &QSpinBox::valueChanged, this, [this](int page) { showPage(page - 1); });
    connect(btnWholePage_, &QPushButton::clicked, this, [this] { setZoom(Zoom::WholePage); });
    connect(btnPageWidth_, &QPushButton::clicked, this, [this] { setZoom(Zoom::PageWidth); });
    connect(btnActualSize_, &QPushButton::clicked, this, [this] { setZoom(Zoom::ActualSize); });
    connect(btnPrint_, &QPushButton::clicked, this, asCommand([this] { printClick(); }));
    connect(btnPdf_, &QPushButton::clicked, this, asCommand([this] { pdfClick(); }));
    connect(btnClose_, &QPushButton::clicked, this, &SermonListPreview::reject);
    connect(btnStop_, &QPushButton::clicked, this, &SermonListPreview::stopClick);
}

void SermonListPreview::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (listing_ && !working_) {
        working_ = true;
        QTimer::singleShot(0, this, asCommand([this] { listStep(); }));
    }
}

// One step of the listing; the next is queued behind the events that came
// meanwhile, so the window paints and 중지 is heard.
void SermonListPreview::listStep()
{
    if (!listing_)
        return;
    if (stopping_) {
        // Stopped before the list was whole: nothing can be printed from it.
        listing_.reset();
        working_ = false;
        QDialog::reject();
        return;
    }
    bool done = true;
    try {
        done = listing_->step(kListStep);
    } catch (...) {
        listing_.reset();
        working_ = false;
        QDialog::reject();
        throw;
    }
    const int before = report_.pageCount();
    report_.setRows(done ? listing_->takeRows() : listing_->rows());
    if (done) {
        listing_.reset();
        working_ = false;
    } else {
        QTimer::singleShot(0, this, asCommand([this] { listStep(); }));
    }
    if (before == 0 || report_.pageCount() != before)
        view_->invalidate();
    showWork(done ? QString() : QStringLiteral("목록을 만드는 중"), int(report_.rows().size()),
             done ? 0 : int(listing_->total()));
    showPage(page_);
}

void SermonListPreview::showPage(int page)
{
    const int count = report_.pageCount();
    page = std::clamp(page, 0, std::max(0, count - 1));
    // A page whose sermons are not all listed yet waits for them.
    while (page > 0 && !report_.pageComplete(page, listingDone()))
        --page;
    page_ = page;
    double scale = 96 / 25.4; // pixels per millimetre at actual size
    if (QScreen *s = screen())
        scale = s->logicalDotsPerInchX() / 25.4;
    const QSize room = scroller_->viewport()->size() - QSize(2 * kGutter, 2 * kGutter);
    if (zoom_ == Zoom::WholePage)
        scale = std::min(room.width() / ListPage::kWidth, room.height() / ListPage::kHeight);
    else if (zoom_ == Zoom::PageWidth) // beside the vertical scroll bar it brings
        scale = (room.width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent)) / ListPage::kWidth;
    scale = std::max(scale, 0.5);
    const bool shown = count > 0 && report_.pageComplete(page, listingDone());
    view_->showPageAt(shown ? page : -1, scale);
    updateControls();
}

void SermonListPreview::setZoom(Zoom zoom)
{
    zoom_ = zoom;
    showPage(page_);
}

void SermonListPreview::updateControls()
{
    const int count = report_.pageCount();
    const bool idle = !working_;
    btnFirst_->setEnabled(page_ > 0);
    btnPrior_->setEnabled(page_ > 0);
    btnNext_->setEnabled(report_.pageComplete(page_ + 1, listingDone()));
    btnLast_->setEnabled(listingDone() && page_ < count - 1);
    {
        const QSignalBlocker quiet(sbPage_);
        sbPage_->setRange(count > 0 ? 1 : 0, std::max(count, 0));
        sbPage_->setValue(count > 0 ? page_ + 1 : 0);
    }
    sbPage_->setEnabled(count > 0);
    lblPages_->setText(pagesText(count));
    btnPrint_->setEnabled(idle && count > 0);
    btnPdf_->setEnabled(idle && count > 0);
    btnStop_->setEnabled(working_);
}

void SermonListPreview::showWork(const QString &what, int done, int total)
{
    lblWork_->setText(what);
    pbWork_->setVisible(total > 0);
    btnStop_->setVisible(total > 0);
    pbWork_->setRange(0, std::max(total, 1));
    pbWork_->setValue(std::min(done, std::max(total, 1)));
}

void SermonListPreview::stopClick()
{
    stopping_ = true;
    if (work_)
        work_->requestStop();
}

std::vector<int> SermonListPreview::chosenPages(const QPrinter &printer) const
{
    std::vector<int> pages;
    const int count = report_.pageCount();
    switch (printer.printRange()) {
    case QPrinter::CurrentPage:
        pages.push_back(page_);
        break;
    case QPrinter::PageRange: {
        const QPageRanges ranges = printer.pageRanges();
        for (int page = 1; page <= count; ++page) {
            if (ranges.contains(page))
                pages.push_back(page - 1);
        }
        break;
    }
    default:
        pages = allPages(report_);
    }
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    // Copies the printer cannot make itself are printed here, one set after
    // another.
    if (!printer.supportsMultipleCopies() && printer.copyCount() > 1) {
        const std::vector<int> once = pages;
        for (int copy = 1; copy < printer.copyCount(); ++copy)
            pages.insert(pages.end(), once.begin(), once.end());
    }
    return pages;
}

void SermonListPreview::printClick()
{
    if (working_ || report_.pageCount() == 0)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(reportTitle());
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                      QPageLayout::Millimeter));
    printer.setFromTo(1, report_.pageCount());
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, report_.pageCount());
    if (runModal(&dialog) != QDialog::Accepted)
        return;
    runPrint(printer, chosenPages(printer));
}

bool SermonListPreview::runPrint(QPrinter &printer, const std::vector<int> &pages)
{
    // A PDF file goes beside its name first, so that a stop leaves an
    // older file of that name as it was.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return runPdf(printer.outputFileName(), pages);
    const bool finished = runWork([&](Progress &progress) {
        const bool whole = printPages(report_, printer, pages, &progress);
        if (!whole)
            printer.abort();
        return whole;
    });
    return finished;
}

void SermonListPreview::pdfClick()
{
    if (working_ || report_.pageCount() == 0)
        return;
    QString path = chooseSaveFile(QStringLiteral("PDF 파일로 저장"), QDir::homePath(),
                                  QStringLiteral("PDF 파일 (*.pdf)"), report_.title() + QStringLiteral(".pdf"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    runPdf(path, allPages(report_));
}

bool SermonListPreview::runPdf(const QString &path, const std::vector<int> &pages)
{
    return runWork([&](Progress &progress) { return printToPdf(report_, path, pages, &progress); });
}

bool SermonListPreview::runWork(const std::function<bool(Progress &)> &job)
{
    working_ = true;
    stopping_ = false;
    updateControls();
    const auto settle = [this](const QString &said) {
        working_ = false;
        showWork(said, 0, 0);
        updateControls();
    };
    Progress progress([this](const Progress::Report &r) {
        showWork(QStringLiteral("인쇄하는 중 %1 / %2 쪽").arg(r.done).arg(r.total), int(r.done), int(r.total));
        QCoreApplication::processEvents();
    });
    work_ = &progress;
    bool finished = false;
    try {
        finished = job(progress);
    } catch (...) {
        work_ = nullptr;
        settle(QString());
        throw;
    }
    work_ = nullptr;
    settle(finished ? QString() : QStringLiteral("인쇄를 멈추었습니다."));
    if (closing_)
        QDialog::reject();
    return finished;
}

// Closing while a print goes on stops it first; the window closes when
// the print has let go.
void SermonListPreview::reject()
{
    if (working_ && !listing_) {
        closing_ = true;
        stopClick();
        return;
    }
    if (listing_) {
        stopping_ = true;
        listStep();
        return;
    }
    QDialog::reject();
}

void SermonListPreview::keyPressEvent(QKeyEvent *event)
{
    if (!pageKey(event->key()))
        QDialog::keyPressEvent(event);
}

bool SermonListPreview::pageKey(int key)
{
    switch (key) {
    case Qt::Key_PageDown:
        showPage(page_ + 1);
        return true;
    case Qt::Key_PageUp:
        showPage(page_ - 1);
        return true;
    case Qt::Key_Home:
        showPage(0);
        return true;
    case Qt::Key_End:
        showPage(report_.pageCount() - 1);
        return true;
    default:
        return false;
    }
}

void SermonListPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    showPage(page_);
}

} // namespace verbana::stats::ui
