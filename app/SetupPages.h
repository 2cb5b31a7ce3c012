#pragma once

// The set-up's fields of the pages "Rozvod" and "Spalování", found by their
// controls' objectNames under a page. Those pages are built when first shown:
// a field whose control is not there keeps the set-up's text, so the texts
// of a page not yet built pass from an opened file to the next save, and the
// page takes them when it is built.

#include "events/Setup.h"

class QWidget;

namespace morvane {

// Copies the fields' texts that exist under root into the set-up.
void TakePageTexts(const QWidget& root, TSetup& setup);

// Writes the set-up's texts into the fields that exist under root.
void FillPageTexts(const TSetup& setup, QWidget& root);

}  // namespace morvane
