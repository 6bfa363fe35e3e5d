// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ui/tfmcreate.h"

#include "store/collection_lifecycle.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/ui/refused_keys.h"

#include "platform/busy_cursor.h"
#include "platform/help.h"
#include "platform/commands.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/user_error.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace verbana::store::ui {

Tfmcreate::Tfmcreate(CollectionDocument &document, const QPoint &anchor, QWidget *parent)
    : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("fmcreate"));
    setWindowTitle(QStringLiteral("새 설교집 만들기"));
    setProperty(kHelpTopicProperty, 2100);

    Label1 = new QLabel(QStringLiteral("새 설교집 이름:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    eName = new QLineEdit(this);
    eName->setObjectName(QStringLiteral("eName"));
    eName->installEventFilter(new RefusedKeys(QStringLiteral("\"*/:<>?\\|"), this));
    Label1->setBuddy(eName);
    btnCreate = new QPushButton(QStringLiteral("만들기"), this);
    btnCreate->setObjectName(QStringLiteral("btnCreate"));
    btnCreate->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("취소"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCreate);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(eName);
    layout->addLayout(buttons);

    connect(btnCreate, &QPushButton::clicked, this, asCommand([this] { btnCreateClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    eName->setFocus();
    setMinimumWidth(320);
    placeAt(this, anchor);
}

int Tfmcreate::Execute(CollectionDocument &document, const QPoint &anchor, QWidget *parent)
{
    Tfmcreate dialog(document, anchor, parent);
    runModal(&dialog);
    return dialog.createResult();
}

void Tfmcreate::btnCreateClick()
{
    const NameCheck check = checkNewCollectionName(eName->text());
    if (check.verdict != NameVerdict::Ok) {
        showInformation(check.message());
        eName->setFocus();
        eName->selectAll();
        return;
    }
    try {
        createCollectionFolders(check.name);
    } catch (const EUserError &e) {
        // The dialog stays open; the folders made so far stay too.
        showError(e.text());
        return;
    }
    {
        const BusyCursor wait;
        result_ = CreateSermonTable(check.name);
    }
    try {
        if (result_ == 1 && confirm(QStringLiteral("작성된 파일을 파일열기하시겠습니까?")))
            document_.OpenCollection(paths::programFolder() + QLatin1Char('/') + check.name + QLatin1Char('/')
                                    + sermonTableName());
    } catch (const EUserError &e) {
        showError(e.text());
    }
    // Whether the table was made or not, the dialog closes now.
    done(result_ == 1 ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace verbana::store::ui
