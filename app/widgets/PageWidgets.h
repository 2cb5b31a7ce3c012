#pragma once

// The building blocks of the pages laid out at fixed positions ("Editace",
// "Korekce", "Časová osa"): named controls with the window's common look.

#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QSlider;
class QTableWidget;
class QWidget;

namespace morvane {

// A page's content at the window's initial size, 96 dots per inch.
constexpr int kPageWidth = 663;
constexpr int kPageHeight = 558;
constexpr int kGridRowHeight = 18;

QFont PixelFont(const QFont& base, int pixels);

QLabel* MakeLabel(const char* name, const QString& text, QWidget* page, int left, int top);

// Buttons never take the focus: each command has its key instead.
QPushButton* MakeButton(const char* name, const QString& text, QWidget* page, QRect geometry);

// A key/value list: the header is the title row, the user may widen columns.
QTableWidget* MakeValueList(const char* name, QWidget* page, const QString& keyTitle,
                            const QString& valueTitle, int keyWidth, int valueWidth, bool editable);

// A text grid whose fixed cells are real cells, so they are addressed like the others.
QTableWidget* MakeGrid(const char* name, QWidget* page, int columns, int rows, bool editable);

QSlider* MakeSlider(const char* name, QWidget* page, int minimum, int maximum);

}  // namespace morvane
