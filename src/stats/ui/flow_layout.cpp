// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/flow_layout.h"

#include <QWidget>

#include <algorithm>

namespace verbana::stats::ui {

FlowLayout::FlowLayout(QWidget *parent, int spacing) : QLayout(parent), spacing_(spacing) {}

FlowLayout::~FlowLayout()
{
    for (QLayoutItem *item : items_)
        delete item;
}

void FlowLayout::addItem(QLayoutItem *item) { items_.push_back(item); }

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return index >= 0 && index < count() ? items_[size_t(index)] : nullptr;
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem *item = items_[size_t(index)];
    items_.erase(items_.begin() + index);
    return item;
}

QSize FlowLayout::minimumSize() const
{
    QSize size;
    for (QLayoutItem *item : items_)
        size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const
{
    // One row holding everything.
    int width = 0, height = 0;
    for (QLayoutItem *item : items_) {
        width += item->sizeHint().width() + spacing_;
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins m = contentsMargins();
    return QSize(width - spacing_ + m.left() + m.right(), height + m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect &rect, bool place) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int x = area.x(), y = area.y(), rowHeight = 0;
    for (QLayoutItem *item : items_) {
        if (item->isEmpty())
            continue;
        const QSize size = item->sizeHint();
        if (x > area.x() && x + size.width() > area.right() + 1) {
            x = area.x();
            y += rowHeight + spacing_;
            rowHeight = 0;
        }
        if (place)
            item->setGeometry(QRect(QPoint(x, y), size));
        x += size.width() + spacing_;
        rowHeight = std::max(rowHeight, size.height());
    }
    const QMargins m = contentsMargins();
    return y + rowHeight - rect.y() + m.bottom();
}

} // namespace verbana::stats::ui
