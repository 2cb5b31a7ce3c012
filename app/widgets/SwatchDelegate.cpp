#include "app/widgets/SwatchDelegate.h"

#include <QPainter>

namespace morvane {

namespace {

constexpr int kSwatchWidth = 4;
constexpr int kSwatchMargin = 2;

}  // namespace

void TSwatchDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    const QColor colour = index.data(kColourRole).value<QColor>();
    if (colour.isValid()) {
        const QRect row = option.rect;
        painter->fillRect(QRect(row.right() - kSwatchMargin - kSwatchWidth + 1, row.top() + 1, kSwatchWidth,
                                row.height() - 2),
                          colour);
    }
}

QSize TSwatchDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    return {size.width() + kSwatchWidth + 2 * kSwatchMargin, m_itemHeight};
}

}  // namespace morvane
