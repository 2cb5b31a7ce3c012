#pragma once

// A list item with a small colour swatch at its right end instead of an icon
// at its left: in a narrow list the name keeps the room an icon would take.

#include <QColor>
#include <QStyledItemDelegate>

namespace morvane {

class TSwatchDelegate : public QStyledItemDelegate {
public:
    // The item data role that holds the swatch's QColor.
    static constexpr int kColourRole = Qt::UserRole + 1;

    // Every row itemHeight px high.
    TSwatchDelegate(int itemHeight, QObject* parent)
        : QStyledItemDelegate(parent), m_itemHeight(itemHeight) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_itemHeight;
};

}  // namespace morvane
