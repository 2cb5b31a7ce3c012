#pragma once

// Keeps a table's columns inside its width: where the given widths plus the
// vertical scroll bar are wider than the table, the last column takes only
// the width that remains, so no horizontal scroll bar appears and no column
// is cut. It never grows past its given width. A first column of keys or
// names under a heading keeps its texts whole: where the widest needs more
// than its given width, it takes that from the last column. Once the user
// drags a column the widths are theirs and are left alone. Columns that
// size themselves to their contents are theirs too.

#include <QObject>

class QTableWidget;

namespace morvane {

class TColumnFit : public QObject {
    Q_OBJECT

public:
    // Takes the table's present column widths as the given ones; lives as
    // long as the table.
    static void attach(QTableWidget* table);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TColumnFit(QTableWidget* table);
    void fit();
    int firstColumnNeeds() const;

    QTableWidget* m_table;
    QWidget* m_viewport;
    int m_firstGivenWidth;
    int m_lastGivenWidth;
    bool m_fitting = false;
    bool m_userSized = false;
};

}  // namespace morvane
