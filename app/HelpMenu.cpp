#include "app/HelpMenu.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

namespace morvane {

namespace {

const char* const kAboutText =
    "Morvane " MORVANE_VERSION
    "\n\nUdálosti motorového cyklu na časové ose úhlu kliky, importované měřené signály a "
    "ukazatele spalování.\n\nLicence: GPL-3.0-or-later";

const char* const kKeysText =
    "Ctrl+O\tOtevřít nastavení motoru\n"
    "Ctrl+S\tUložit nastavení motoru\n"
    "Ctrl+Shift+S\tUložit nastavení motoru jako\n"
    "Ctrl+N\tNové nastavení motoru\n"
    "Ctrl+I\tImport signálu (úhel)\n"
    "Ctrl+Shift+I\tImport signálu (čas)\n"
    "Ctrl+E\tImport signálu (snímač)\n"
    "Ctrl+Z\tZpět\n"
    "Ctrl+Shift+Z, Ctrl+Y\tZnovu\n"
    "F5\tVytvořit události\n"
    "F6\tVyplnit podle prvního\n"
    "F7\tKorigovat\n"
    "Ctrl+Tab, Ctrl+PgDown\tDalší stránka\n"
    "Ctrl+Shift+Tab, Ctrl+PgUp\tPředchozí stránka\n"
    "Tab, Shift+Tab\tDalší a předchozí ovládací prvek\n"
    "F10, Alt, Alt+F\tNabídka File\n"
    "Alt+P, Alt+V, Alt+T\tRozvod: Nastavit přesazení, Zapsat do válce, Načíst z tabulky\n"
    "Alt+N, Alt+V, Alt+H\tSpalování: Načíst tlakový průběh, Vypočítat, Navrhnout z motorového cyklu";

}  // namespace

void AddHelpMenu(QMainWindow& window) {
    QMenu* menu = window.menuBar()->addMenu("Nápověda");
    menu->setObjectName("HelpMenu");
    QAction* about = menu->addAction("O programu");
    about->setObjectName("AboutAction");
    QAction* keys = menu->addAction("Klávesy");
    keys->setObjectName("KeysAction");
    QObject::connect(about, &QAction::triggered, &window,
                     [&window] { QMessageBox::about(&window, "O programu", QString::fromUtf8(kAboutText)); });
    QObject::connect(keys, &QAction::triggered, &window, [&window] {
        QMessageBox::information(&window, "Klávesy", QString::fromUtf8(kKeysText));
    });
}

}  // namespace morvane
