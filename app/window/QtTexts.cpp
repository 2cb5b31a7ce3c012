#include "app/window/QtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace morvane {

bool InstallQtCzechTexts(QCoreApplication& application) {
    return InstallQtCzechTexts(application, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool InstallQtCzechTexts(QCoreApplication& application, const QString& folder) {
    // The application owns the translator, so it lives as long as the texts
    // it answers for.
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_cs"), folder)) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace morvane
