// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace verbana::xbase {
class TApolloTable;
}
namespace verbana::store {
class CollectionDocument;
}

namespace verbana::exchange::ui {

// "\"Notavia\"용 파일 내용 복사": a Notavia note file is chosen on the first
// page, and on the second the user says which sermon field each of its four
// title fields fills; "복사 시작" copies every note into the open
// collection and closes the window.
class Tfmfnote : public QDialog {
    Q_OBJECT
public:
    explicit Tfmfnote(store::CollectionDocument &document, QWidget *parent = nullptr);
    ~Tfmfnote() override;

    void setAfterRun(std::function<void()> afterRun) { afterRun_ = std::move(afterRun); }

    void btnOpenfileClick();
    void SpeedButton2Click();
    void SpeedButton3Click();

    QStackedWidget *Notebook1;
    QPushButton *btnOpenfile, *SpeedButton2, *SpeedButton3, *SpeedButton1;
    QLabel *laFname, *laEA;
    QTableWidget *DBGrid1, *DBGrid2;
    QComboBox *ComboBox1, *ComboBox2, *ComboBox3, *ComboBox4;
    QProgressBar *Gauge1;

private:
    void showNotes();

    store::CollectionDocument &document_;
    std::unique_ptr<xbase::TApolloTable> notes_;
    std::function<void()> afterRun_;
};

} // namespace verbana::exchange::ui
