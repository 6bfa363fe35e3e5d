// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// Small pieces the main window's pages and panels are made of.
namespace verbana::editing {

QLabel *makeLabel(const QString &text, QWidget *parent);

// A push button with its caption as accessible name and its hint as
// tooltip and accessible description.
QPushButton *makeButton(const QString &caption, const QString &hint, const QString &name, QWidget *parent);

// The grid of a form page: labels in column 0, boxes in column 1.
QGridLayout *formGrid(QWidget *page);

// One row of a form page: its label (kept in `labels` for the font, and the
// box's buddy) and the box with an optional control beside it, all kept to
// the left.
QHBoxLayout *formRow(QGridLayout *grid, std::vector<QLabel *> &labels, int row, const QString &caption, QWidget *box,
                     QWidget *extra = nullptr);

} // namespace verbana::editing
