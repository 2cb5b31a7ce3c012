#pragma once

// Qt's own texts (the standard buttons, the file dialogs) in Czech, as the
// rest of the window, whatever the system's language. Without the catalogue
// they stay English and the window starts all the same.

class QCoreApplication;
class QString;

namespace morvane {

// Installs Qt's Czech catalogue from Qt's translations folder; false when it
// cannot be read there.
bool InstallQtCzechTexts(QCoreApplication& application);
// The same from another folder.
bool InstallQtCzechTexts(QCoreApplication& application, const QString& folder);

}  // namespace morvane
