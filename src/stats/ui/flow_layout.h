// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLayout>

#include <vector>

namespace verbana::stats::ui {

// Lays its widgets out left to right and wraps to a new row where the width
// ends, so that a narrow window shows every button on more rows.
class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget *parent, int spacing = 3);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override { return int(items_.size()); }
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return arrange(QRect(0, 0, width, 0), false); }
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    int arrange(const QRect &rect, bool place) const;

    std::vector<QLayoutItem *> items_;
    int spacing_;
};

} // namespace verbana::stats::ui
