// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/record_keys.h"
#include "editing/sermon_editing.h"
#include "store/ui/command_host.h"
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

namespace verbana::store {
class CollectionDocument;
}

namespace verbana::editing::spelling {
class IgnoredWords;
class SpellChecker;
}

namespace verbana::editing {

class ManuscriptView;

class SermonListModel;
class TDBComboBox;
class TDBEdit;
class TDBMemo;

// The main window: one sermon of the open collection on its pages beside
// the list of the sermons in view, the editing commands, and the settings
// of the window kept in verbdesk.ini.
//
// The window shows the collection document it is made with: it is bound to
// the document's table whenever a collection is open, lets go of it when
// the document is about to close it, and binds again when the table is
// opened anew. The other parts of the program put their commands into the
// window through its command host (store/ui/command_host.h).
class Tfmverbdesk : public QMainWindow, public store::ui::CommandHost {
    Q_OBJECT
public:
    explicit Tfmverbdesk(store::CollectionDocument &document, QWidget *parent = nullptr);
    ~Tfmverbdesk() override;

    // Lets go of the table (the document is about to close it).
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
    void LayoutBoxes();
    static int longBoxWidth(int pageWidth);
    // The width of the Bible text box: room for a reference of 40 bytes.
    int bibleBoxWidth() const;

    // The command host.
    store::CollectionDocument &document() override { return document_; }
    QMainWindow *mainWindow() override { return this; }
    QMenu *fileMenu() override { return mnFile_; }
    QAction *exitAction() override { return mnExit_; }
    QWidget *toolbar() override { return pnlToolbar_; }
    void insertToolbarControl(int index, QWidget *control) override;
    int toolbarIndexOf(const QString &objectName) const override;
    QAbstractButton *insertPictureButton(int index, const QIcon &icon, const QString &name, const QString &hint,
                                         const QString &objectName) override;
    void addPage(QWidget *page, const QString &caption) override;
    QProgressBar *progressLine() override { return progressLine_; }
    // The window's left edge plus 4 pixels, just below the toolbar.
    QPoint dialogAnchor() const override;
    void RefreshManuscriptView() override;
    void showManuscriptHit(const QString &word) override;
    // Read again from the settings file after the settings windows stored
    // them: the fonts and colours, and the four preset-word lists.
    void applyFontSettings() override;
    void reloadChoiceLists() override;

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

    // Editing and binding (tfmverbdesk_editing.cpp).
    void bindCollection();
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

    // The manuscript page (tfmverbdesk_manuscript.cpp).
    void setManuscriptCaption(const QString &caption);
    void loadTextCopy(const QString &path);
    void openBuiltInEditor(const QString &filePath, const QString &textCopyPath, bool load);
    void editHwpManuscript(const QString &manuscript);

    store::CollectionDocument &document_;
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
    QHBoxLayout *bibleLine_ = nullptr;
    QWidget *bibleTrail_ = nullptr;
    ManuscriptView *reManuscript_ = nullptr;
    std::vector<TDBEdit *> edits_;
    std::vector<TDBComboBox *> combos_;
    std::vector<TDBMemo *> memos_;
    // The memo boxes' spelling: the shared checker, and the words passed over in this run.
    std::shared_ptr<spelling::SpellChecker> speller_;
    spelling::IgnoredWords *ignoredWords_ = nullptr;
    std::vector<QLabel *> outlineLabels_, selfLabels_;
    QTimer viewTimer_, listTimer_;

};

} // namespace verbana::editing
