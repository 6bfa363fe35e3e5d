// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/form_parts.h"

#include "platform/described.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace verbana::editing {

QLabel *makeLabel(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QPushButton *makeButton(const QString &caption, const QString &hint, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    describe(b, caption, hint);
    // In a narrow window a button gives up its margins, never its caption.
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 10);
    return b;
}

QGridLayout *formGrid(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    return grid;
}

QHBoxLayout *formRow(QGridLayout *grid, std::vector<QLabel *> &labels, int row, const QString &caption, QWidget *box,
                     QWidget *extra)
{
    QLabel *l = makeLabel(caption, grid->parentWidget());
    l->setBuddy(box);
    labels.push_back(l);
    grid->addWidget(l, row, 0);
    auto *line = new QHBoxLayout;
    line->setSpacing(4);
    line->addWidget(box);
    if (extra)
        line->addWidget(extra);
    line->addStretch(1);
    grid->addLayout(line, row, 1);
    return line;
}

} // namespace verbana::editing
