// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/record_keys.h"
#include "editing/sermon_editing.h"
#include "store/xbase/apollo_table.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QAbstractButton;
class QAction;
class QHBoxLayout;
class QIcon;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;
class QTextEdit;
class QToolButton;

namespace verbana::settings {
class Profile;
}

namespace verbana::search {
struct ManuscriptQuery;
}

namespace verbana::stats::ui {
class StatisticsPage;
}

namespace verbana::editing {

class SermonListModel;
class TDBComboBox;
class TDBEdit;
class TDBMemo;

// The main window: one sermon of the open collection on its pages beside
// the list of the sermons in view, the editing commands, and the settings
// of the window kept in verbdesk.ini.
//
// The open collection is handed in with bindCollection(): the caller has
// opened the sermon table shared, set its order and moved to the sermon to
// show; the window uses the table (it does not own it) until
// unbindCollection(), which the caller makes before it closes or deletes
// the table.
class Tfmverbdesk : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfmverbdesk(QWidget *parent = nullptr);
    ~Tfmverbdesk() override;

    void bindCollection(xbase::TApolloTable *table, const QString &collectionFolder, const QString &tablePath);
    void unbindCollection();

    xbase::TApolloTable *table() const { return editing_.table(); }
    const QString &CollectionFolder() const { return editing_.collectionFolder(); }
    const QString &openedTablePath() const { return tablePath_; }
    QString PendingManuscript() const { return editing_.PendingManuscript; }
    // The collection open when the program was last left ("last" in
    // "file"), as its label; empty when none.
    QString lastCollection() const;
    // The collection to remember as "last" when the program is left: the
    // one bound last, unless the owner of the collection says otherwise
    // (a failed opening of another collection keeps the earlier one;
    // closing the collection forgets it).
    void setRememberedCollection(const QString &label) { rememberedCollection_ = label; }

    // True (and the message shown) while a sermon is being added or edited.
    bool RefuseWhileEditing();
    bool changing() const { return editing_.changing(); }

    // The editing commands, as the menu, the keys and the buttons run them.
    void mnAppendClick();
    void mnEditClick();
    void mnSaveClick();
    void mnCancelClick();
    void mnDeleteClick();

    void SetCollectionControls(bool open);
    // Tells the user that a read-only collection cannot be changed; true
    // when the open collection is one.
    bool refuseReadOnly();
    void ApplyGeneralFont();
    // Read again from the settings file after the settings windows stored
    // them: the fonts and colours, and the four preset-word lists.
    void applyFontSettings();
    void reloadChoiceLists();
    void LayoutBoxes();
    static int longBoxWidth(int pageWidth);
    // The width of the Bible text box: room for a reference of 40 bytes.
    int bibleBoxWidth() const;
    void RefreshManuscriptView();
    // The menus, for the commands of the collection and its upkeep: they
    // go into the file menu before its separator line and 종료.
    QMenu *fileMenu() const { return mnFile_; }
    // The red line along the bottom of the toolbar that long operations
    // move as they go.
    QProgressBar *progressLine() const { return progressLine_; }
    QAction *exitAction() const { return mnExit_; }
    // Puts a picture button into the toolbar at `index` (0 = leftmost) for
    // a command of another part of the program: `name` is what it does (its
    // accessible name), `hint` its tooltip.
    QAbstractButton *insertPictureButton(int index, const QIcon &icon, const QString &name, const QString &hint,
                                         const QString &objectName);
    // Where the program's dialogs open: the window's left edge plus 4
    // pixels, just below the toolbar (global coordinates).
    QPoint dialogAnchor() const;

    // The caption the manuscript button carries: "원고 입력" or "원고 수정".
    const QString &manuscriptCaption() const { return manuscriptCaption_; }

    // The built-in editor, opened modally on a manuscript file and its text
    // copy (`load`: the file is loaded when it exists); it returns when its
    // window has closed. The document editor (Tfmmemo) unless another is set.
    using BuiltInEditor = std::function<void(const QString &filePath, const QString &textCopyPath, bool load)>;
    void setBuiltInEditor(BuiltInEditor editor) { editor_ = std::move(editor); }

    // The manuscript page's commands (tfmverbdesk_manuscript.cpp).
    void btnMEditClick();
    void mnSelfEditorClick();
    void mnHwpFileClick();
    void btnMRefreshClick();

    // The go-to search of the toolbar (tfmverbdesk_search.cpp): from the
    // current sermon to the next one, in the direction pressed, whose chosen
    // item holds the word of eFindGo.
    void GoToNext();
    // The item chosen in btnFindGo's menu: its field's position.
    int goToItem() const { return goToItem_; }
    // Gathering (tfmverbdesk_gather.cpp): the dialog's two 찾기, release,
    // count and the two batch deletions. Without an open collection they
    // do nothing.
    void mnGatherFieldsClick();
    void mnGatherTextClick();
    bool GatherFields(const std::vector<std::pair<int, QByteArray>> &rows, bool useAnd);
    bool GatherManuscripts(const search::ManuscriptQuery &query, QProgressBar *progress);
    void ReleaseGathering();
    void CountSermons();
    void DeleteGathered();
    void DeleteNotGathered();
    // The words of the manuscript gathering in force joined by "//"; empty
    // when none.
    const QString &highlightTerms() const { return highlightTerms_; }
    // The statistics page (tfmverbdesk_stats.cpp): the count of a button
    // by its number (0 for 신약/구약, 1 and 2, 5 to 8); false when it did
    // not run (no collection, refused while editing, another count busy).
    bool CountStatistics(int number);
    bool statisticsBusy() const { return statsBusy_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building (tfmverbdesk_layout.cpp: menus, toolbar, list, settings;
    // tfmverbdesk_pages.cpp: the pages and their boxes).
    void buildMenus();
    void buildToolbar(QWidget *strip);
    QWidget *buildListPanel();
    void placeSavePanel();
    QWidget *buildOutlinePage();
    QWidget *buildManuscriptPage();
    QWidget *buildSelfPage();
    TDBEdit *addEdit(int field, BoxKind kind = BoxKind::Line);
    TDBComboBox *addCombo(int field);
    TDBMemo *addMemo(int field);
    static QWidget *scrolling(QWidget *content);
    void readSettings();
    void fillChoiceLists(const settings::Profile &profile);
    void writeSettings();
    void buildSearchGroup(QHBoxLayout *row, QWidget *strip);
    void chooseGoToItem(const QString &caption, int number);
    // One pass of the go-to search; true when the user asked to search the
    // other way.
    bool goToOnce();
    void showManuscriptHit(const QString &word);

    // Editing and binding (tfmverbdesk_editing.cpp).
    void onNotified(const xbase::TableNotification &n);
    void showRecord();
    void setBoxesReadOnly();
    void boxEdited(int field, const QString &text);
    void afterChange();
    void syncListToTable();
    void listRowChosen(int row);
    bool recordBoxKey(QWidget *box, QKeyEvent *event);
    void pickDateFor(TDBEdit *box);
    void moveSermon(int direction);
    QWidget *boxOf(int field) const;

    // Gathering (tfmverbdesk_gather.cpp).
    void buildGatherMenu();
    void buildGatherButtons();
    void openGatherDialog(int page);

    // The statistics page (tfmverbdesk_stats.cpp).
    void buildStatsPage();

    // The manuscript page (tfmverbdesk_manuscript.cpp).
    void setManuscriptCaption(const QString &caption);
    void loadTextCopy(const QString &path);
    void openBuiltInEditor(const QString &filePath, const QString &textCopyPath, bool load);
    void editHwpManuscript(const QString &manuscript);

    SermonEditing editing_;
    QString tablePath_;
    QString rememberedCollection_;
    QString manuscriptCaption_;
    std::vector<QMetaObject::Connection> tableConnections_;
    bool syncingList_ = false;
    bool listKeyHeld_ = false;

    // Controls (named as the tests address them).
    QMenu *mnFile_ = nullptr, *mnData_ = nullptr;
    QAction *mnAppend_ = nullptr, *mnEdit_ = nullptr, *mnSave_ = nullptr, *mnCancel_ = nullptr,
            *mnDelete_ = nullptr, *mnExit_ = nullptr;
    QPushButton *btnAppend_ = nullptr, *btnEdit_ = nullptr, *btnDelete_ = nullptr, *btnExit_ = nullptr;
    QPushButton *btnSave_ = nullptr, *btnCancel_ = nullptr;
    QWidget *pnlSave_ = nullptr, *pnlGrid_ = nullptr, *pnlToolbar_ = nullptr;
    QHBoxLayout *toolbarRow_ = nullptr;
    QProgressBar *progressLine_ = nullptr;
    QLabel *lblNoCollection_ = nullptr;
    QTableView *DBGrid1_ = nullptr;
    SermonListModel *model_ = nullptr;
    QSplitter *splitter_ = nullptr;
    QTabWidget *PageControl1_ = nullptr;
    QWidget *tsOutline_ = nullptr, *tsManuscript_ = nullptr, *tsSelf_ = nullptr;
    QPushButton *btnCallCal_ = nullptr, *btnCallCal2_ = nullptr;
    QLabel *lblManuType_ = nullptr;
    QPushButton *btnMEdit_ = nullptr, *btnMRefresh_ = nullptr;
    QMenu *pmManuscript_ = nullptr;
    BuiltInEditor editor_;
    QMenu *mnGather_ = nullptr;
    QPushButton *btnGather_ = nullptr;
    QAbstractButton *btnRelease_ = nullptr;
    QString highlightTerms_;
    bool viewRefreshOff_ = false;
    QHBoxLayout *bibleLine_ = nullptr;
    QWidget *bibleTrail_ = nullptr;
    QTextEdit *reManuscript_ = nullptr;
    std::vector<TDBEdit *> edits_;
    std::vector<TDBComboBox *> combos_;
    std::vector<TDBMemo *> memos_;
    std::vector<QLabel *> outlineLabels_, selfLabels_;
    QTimer viewTimer_, listTimer_;

    // The search group of the toolbar.
    QToolButton *btnFindGo_ = nullptr, *btnUp_ = nullptr, *btnDown_ = nullptr;
    QLineEdit *eFindGo_ = nullptr;
    QPushButton *btnLetGo_ = nullptr;
    int goToItem_ = 2;

    stats::ui::StatisticsPage *tsStats_ = nullptr;
    bool statsBusy_ = false; // the busy mark of a count
};

} // namespace verbana::editing
