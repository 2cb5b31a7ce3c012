#pragma once

// The question before unsaved changes would be lost, by closing the window or
// by starting a new set-up: "Uložit", "Zahodit" or "Zrušit". Enter saves,
// Escape keeps the window as it is.

#include <string>

class QWidget;

namespace morvane {

enum class TSaveAnswer { Save, Discard, Cancel };

// setupPath names the file the changes belong to; empty for a set-up never saved.
TSaveAnswer AskToSaveChanges(QWidget* window, const std::string& setupPath);

}  // namespace morvane
