// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ui/help_window.h"

#include "platform/described.h"
#include "settings/help_pages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace verbana::settings::ui {
namespace {

QToolButton *toolButton(QStyle::StandardPixmap icon, const QString &caption, const char *name, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(parent->style()->standardIcon(icon));
    b->setText(caption);
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    describe(b, caption);
    return b;
}

// Order in the topic list: the contents, the topics by number, the rest.
int rank(const QString &file)
{
    if (file == QLatin1String(kContentsPage))
        return -1;
    bool number = false;
    const int n = QFileInfo(file).completeBaseName().toInt(&number);
    return number ? n : 1'000'000;
}

} // namespace

HelpWindow::HelpWindow(QString folder, QWidget *parent) : QWidget(parent, Qt::Window), folder_(std::move(folder))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Verbana 도움말"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    auto *bar = new QHBoxLayout;
    btnBack_ = toolButton(QStyle::SP_ArrowBack, QStringLiteral("뒤로"), "btnBack", this);
    btnForward_ = toolButton(QStyle::SP_ArrowForward, QStringLiteral("앞으로"), "btnForward", this);
    btnContents_ = toolButton(QStyle::SP_DirHomeIcon, QStringLiteral("목차"), "btnContents", this);
    eSearch_ = new QLineEdit(this);
    eSearch_->setObjectName(QStringLiteral("eSearch"));
    eSearch_->setPlaceholderText(QStringLiteral("찾을 낱말"));
    eSearch_->setClearButtonEnabled(true);
    describe(eSearch_, QStringLiteral("도움말에서 찾기"), QStringLiteral("낱말을 입력하고 Enter"));
    bar->addWidget(btnBack_);
    bar->addWidget(btnForward_);
    bar->addWidget(btnContents_);
    bar->addStretch(1);
    bar->addWidget(eSearch_);
    column->addLayout(bar);

    auto *split = new QSplitter(this);
    lbTopics_ = new QListWidget(split);
    lbTopics_->setObjectName(QStringLiteral("lbTopics"));
    describe(lbTopics_, QStringLiteral("도움말 주제"));
    tbPage_ = new QTextBrowser(split);
    tbPage_->setObjectName(QStringLiteral("tbPage"));
    describe(tbPage_, QStringLiteral("도움말"));
    tbPage_->setOpenExternalLinks(true);
    tbPage_->setSearchPaths({folder_});
    split->setStretchFactor(1, 1);
    split->setSizes({190, 560});
    column->addWidget(split, 1);

    connect(btnBack_, &QToolButton::clicked, tbPage_, &QTextBrowser::backward);
    connect(btnForward_, &QToolButton::clicked, tbPage_, &QTextBrowser::forward);
    connect(btnContents_, &QToolButton::clicked, this, [this] { showPage(QLatin1String(kContentsPage)); });
    connect(tbPage_, &QTextBrowser::backwardAvailable, btnBack_, &QWidget::setEnabled);
    connect(tbPage_, &QTextBrowser::forwardAvailable, btnForward_, &QWidget::setEnabled);
    connect(eSearch_, &QLineEdit::returnPressed, this, [this] { search(eSearch_->text()); });
    connect(eSearch_, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (t.isEmpty())
            search(t);
    });
    connect(lbTopics_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { showPage(item->data(Qt::UserRole).toString()); });
    connect(lbTopics_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { showPage(item->data(Qt::UserRole).toString()); });
    // The title and the topic list follow the page, however it was reached
    // (a topic, a link, back or forward).
    // (source() still names the page before while the signal is sent.)
    connect(tbPage_, &QTextBrowser::sourceChanged, this, [this](const QUrl &url) {
        setWindowTitle(QStringLiteral("Verbana 도움말 - ") + tbPage_->documentTitle());
        const QSignalBlocker block(lbTopics_);
        lbTopics_->clearSelection();
        for (int i = 0; i < lbTopics_->count(); ++i)
            if (lbTopics_->item(i)->data(Qt::UserRole).toString() == url.fileName())
                lbTopics_->setCurrentRow(i);
    });
    btnBack_->setEnabled(false);
    btnForward_->setEnabled(false);
    fillTopics();
    resize(780, 560);
}

void HelpWindow::fillTopics()
{
    const QStringList files = QDir(folder_).entryList({QStringLiteral("*.html")}, QDir::Files);
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    for (const QString &file : files) {
        QFile f(folder_ + QLatin1Char('/') + file);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString html = QString::fromUtf8(f.readAll());
        QTextDocument doc;
        doc.setHtml(html);
        const QString name = title.match(html).captured(1).trimmed();
        pages_.push_back({file, name.isEmpty() ? file : name, doc.toPlainText()});
    }
    std::sort(pages_.begin(), pages_.end(), [](const Page &a, const Page &b) { return rank(a.file) < rank(b.file); });
    search(QString());
}

void HelpWindow::search(const QString &words)
{
    const QStringList wanted = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    lbTopics_->clear();
    for (const Page &p : pages_) {
        const bool all = std::all_of(wanted.begin(), wanted.end(),
                                     [&](const QString &w) { return p.text.contains(w, Qt::CaseInsensitive); });
        if (!all)
            continue;
        auto *item = new QListWidgetItem(p.title, lbTopics_);
        item->setData(Qt::UserRole, p.file);
    }
    if (!wanted.isEmpty()) {
        tbPage_->moveCursor(QTextCursor::Start);
        tbPage_->find(wanted.first());
    }
}

void HelpWindow::showPage(const QString &page)
{
    if (QUrl(page).fileName() != currentPage() || tbPage_->source().isEmpty())
        tbPage_->setSource(QUrl::fromLocalFile(folder_ + QLatin1Char('/') + page));
    show();
    raise();
    activateWindow();
}

QString HelpWindow::currentPage() const { return tbPage_->source().fileName(); }

namespace {
QPointer<HelpWindow> theWindow;
QPointer<QWidget> theOwner;
} // namespace

void setHelpOwner(QWidget *owner) { theOwner = owner; }

HelpWindow *helpWindow()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (theWindow && modal && theWindow->parentWidget() != modal && !theWindow->isAncestorOf(modal)) {
        // Made again under the modal window, or it could not be used.
        delete theWindow;
    }
    if (!theWindow)
        theWindow = new HelpWindow(helpFolder(), modal ? modal : theOwner.data());
    return theWindow;
}

void showHelpWindow(int topic) { helpWindow()->showPage(topicPage(topic)); }

void showHelpPage(const QString &page) { helpWindow()->showPage(page); }

} // namespace verbana::settings::ui
