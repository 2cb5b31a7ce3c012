#include "app/widgets/PageWidgets.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>

namespace morvane {

namespace {

QTableWidget* MakeTable(const char* name, QWidget* page, int columns, int rows) {
    auto* table = new QTableWidget(rows, columns, page);
    table->setObjectName(name);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    table->setWordWrap(false);
    return table;
}

}  // namespace

QFont PixelFont(const QFont& base, int pixels) {
    QFont font = base;
    font.setPixelSize(pixels);
    return font;
}

QLabel* MakeLabel(const char* name, const QString& text, QWidget* page, int left, int top) {
    auto* label = new QLabel(text, page);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(const char* name, const QString& text, QWidget* page, QRect geometry) {
    auto* button = new QPushButton(text, page);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(geometry);
    return button;
}

QTableWidget* MakeValueList(const char* name, QWidget* page, const QString& keyTitle,
                            const QString& valueTitle, int keyWidth, int valueWidth, bool editable) {
    QTableWidget* table = MakeTable(name, page, 2, 0);
    table->setHorizontalHeaderLabels({keyTitle, valueTitle});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setSectionsMovable(false);
    table->setColumnWidth(0, keyWidth);
    table->setColumnWidth(1, valueWidth);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(editable ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    return table;
}

QTableWidget* MakeGrid(const char* name, QWidget* page, int columns, int rows, bool editable) {
    QTableWidget* table = MakeTable(name, page, columns, rows);
    table->horizontalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table->setEditTriggers(editable ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    return table;
}

QSlider* MakeSlider(const char* name, QWidget* page, int minimum, int maximum) {
    auto* slider = new QSlider(Qt::Horizontal, page);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setValue(minimum);
    return slider;
}

}  // namespace morvane
