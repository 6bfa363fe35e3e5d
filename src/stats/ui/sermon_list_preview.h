// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/progress.h"
#include "stats/sermon_list_report.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <memory>

class QLabel;
class QPrinter;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace verbana::stats::ui {

class PageView;

// The print preview of a sermon list (설교목록), shown maximised: one page
// at a time, the page buttons and zoom, 인쇄 with the printer and page
// choice, PDF 저장. The sermons are listed in steps after the window shows,
// so the first page is there as soon as its sermons are; printing goes
// page by page with the progress bar moving and 중지 stopping it.
class SermonListPreview : public QDialog {
    Q_OBJECT
public:
    // The table must stay open and untouched while the window lives.
    SermonListPreview(xbase::TApolloTable &table, const ListLayout &layout, const QString &title,
                      QWidget *parent = nullptr);
    ~SermonListPreview() override;

    const SermonListReport &report() const { return report_; }
    bool listingDone() const { return !listing_; }
    int currentPage() const { return page_; }
    void showPage(int page);

    // 인쇄: the printer dialog, then the pages chosen there.
    void printClick();
    // PDF 저장: a file name, then every page into it.
    void pdfClick();
    void stopClick();

    enum class Zoom { WholePage, PageWidth, ActualSize };
    void setZoom(Zoom zoom);
    Zoom zoom() const { return zoom_; }

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    // PgUp, PgDn, Home and End turn the pages; false for other keys.
    bool pageKey(int key);
    void listStep();
    void updateControls();
    // Prints `pages` on `printer`, or into its PDF file; false when stopped.
    bool runPrint(QPrinter &printer, const std::vector<int> &pages);
    bool runPdf(const QString &path, const std::vector<int> &pages);
    // Runs a print with the progress bar and 중지 at work; false when stopped.
    bool runWork(const std::function<bool(Progress &)> &job);
    // Shows the work going on; `total` 0 hides the bar and 중지.
    void showWork(const QString &what, int done, int total);
    std::vector<int> chosenPages(const QPrinter &printer) const;

    SermonListReport report_;
    std::unique_ptr<ViewListing> listing_;
    int page_ = 0;
    Zoom zoom_ = Zoom::WholePage;
    bool working_ = false;
    bool stopping_ = false;
    Progress *work_ = nullptr; // the print at work
    bool closing_ = false;

    QPushButton *btnFirst_ = nullptr, *btnPrior_ = nullptr, *btnNext_ = nullptr, *btnLast_ = nullptr;
    QPushButton *btnWholePage_ = nullptr, *btnPageWidth_ = nullptr, *btnActualSize_ = nullptr;
    QPushButton *btnPrint_ = nullptr, *btnPdf_ = nullptr, *btnClose_ = nullptr, *btnStop_ = nullptr;
    QSpinBox *sbPage_ = nullptr;
    QLabel *lblPages_ = nullptr, *lblWork_ = nullptr;
    QProgressBar *pbWork_ = nullptr;
    QScrollArea *scroller_ = nullptr;
    PageView *view_ = nullptr;
};

} // namespace verbana::stats::ui
