// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "search/gathering.h"

#include <QDialog>

#include <array>
#include <functional>
#include <utility>
#include <vector>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace verbana::search::ui {

// The gathering dialog 찾아모으기: four field conditions on its first page,
// four manuscript words on its second; 찾기 hands them to the main window.
class Tfmgather : public QDialog {
    Q_OBJECT
public:
    enum Page { pgFields = 0, pgManuscripts = 1 };

    // 찾기 on the first page: the rows as (field number, word), the AND
    // choice; true closes the dialog.
    using GatherFields = std::function<bool(const std::vector<std::pair<int, QByteArray>> &rows, bool useAnd)>;
    // 찾기 on the second page: the words and the AND choice, the dialog's
    // progress bar; true closes the dialog.
    using GatherManuscripts = std::function<bool(const ManuscriptQuery &query, QProgressBar *progress)>;

    Tfmgather(Page page, GatherFields fields, GatherManuscripts manuscripts, QWidget *parent = nullptr);

    // The field number a row's chooser holds (rows 0–3).
    int chosenField(int row) const { return chosen_[size_t(row)]; }
    // The caption and number of each item of a chooser's menu, the items of
    // the sub-menu "그 외.." after the first `kMainItems`.
    static const std::vector<std::pair<const char16_t *, int>> &fieldItems();
    static constexpr int kMainItems = 10;

private:
    QWidget *buildFieldPage();
    QWidget *buildManuscriptPage();
    void btnFindClick();
    void btnFindTextClick();
    void choose(int row, const QString &caption, int field);

    GatherFields gatherFields_;
    GatherManuscripts gatherManuscripts_;
    QTabWidget *pages_ = nullptr;
    std::array<QPushButton *, 4> choosers_{};
    std::array<int, 4> chosen_{2, 2, 2, 2};
    std::array<QLineEdit *, 4> words_{}, texts_{};
    QRadioButton *rbAnd_ = nullptr, *rbTextAnd_ = nullptr;
    QProgressBar *pbScan_ = nullptr;
};

} // namespace verbana::search::ui
