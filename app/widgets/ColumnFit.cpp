#include "app/widgets/ColumnFit.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

namespace morvane {

void TColumnFit::attach(QTableWidget* table) {
    if (table->columnCount() > 0) {
        new TColumnFit(table);
    }
}

TColumnFit::TColumnFit(QTableWidget* table)
    : QObject(table),
      m_table(table),
      m_viewport(table->viewport()),
      m_firstGivenWidth(table->columnWidth(0)),
      m_lastGivenWidth(table->columnWidth(table->columnCount() - 1)) {
    m_viewport->installEventFilter(this);
    // Keys are written after the table is built, and may change.
    // Only the first column's texts decide its width; a table written cell by
    // cell (the event table at every redraw) is not measured for each cell.
    connect(m_table->model(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& topLeft) {
        if (topLeft.column() == 0) {
            fit();
        }
    });
    connect(m_table->model(), &QAbstractItemModel::rowsInserted, this, &TColumnFit::fit);
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        if (!m_fitting) {
            m_userSized = true;
        }
    });
    fit();
}

bool TColumnFit::eventFilter(QObject* watched, QEvent* event) {
    // The viewport narrows when the vertical scroll bar appears. The viewport
    // is compared as it was kept: while the table is being destroyed its own
    // functions can no longer be called, yet the viewport still has events.
    if (watched == m_viewport && event->type() == QEvent::Resize) {
        fit();
    }
    return QObject::eventFilter(watched, event);
}

int TColumnFit::firstColumnNeeds() const {
    if (m_table->columnCount() < 2 || m_table->horizontalHeader()->isHidden()) {
        return m_firstGivenWidth;
    }
    // What the view itself would give the column: its texts, margins and grid.
    const QAbstractItemView* view = m_table;
    return std::max(m_firstGivenWidth, view->sizeHintForColumn(0));
}

void TColumnFit::fit() {
    const int last = m_table->columnCount() - 1;
    // Columns that size themselves to their texts scroll sideways instead.
    if (m_userSized || last < 0 ||
        m_table->horizontalHeader()->sectionResizeMode(last) == QHeaderView::ResizeToContents) {
        return;
    }
    m_fitting = true;
    if (const int first = firstColumnNeeds(); first != m_table->columnWidth(0)) {
        m_table->setColumnWidth(0, first);
    }
    m_fitting = false;
    int others = 0;
    for (int column = 0; column < last; ++column) {
        others += m_table->columnWidth(column);
    }
    const int remaining = m_table->viewport()->width() - others;
    const int width =
        std::max(m_table->horizontalHeader()->minimumSectionSize(), std::min(m_lastGivenWidth, remaining));
    if (width != m_table->columnWidth(last)) {
        m_fitting = true;
        m_table->setColumnWidth(last, width);
        m_fitting = false;
    }
}

}  // namespace morvane
