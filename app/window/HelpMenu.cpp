#include "app/window/HelpMenu.h"

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

// Every key and what it does, as the menus and buttons name it.
struct TKeyLine {
    const char* Keys;
    const char* Does;
};
const TKeyLine kKeyLines[] = {
    {"Ctrl+O", "Open... (nastavení motoru)"},
    {"Ctrl+S", "Save... (nastavení motoru)"},
    {"Ctrl+Shift+S", "Uložit jako..."},
    {"Ctrl+N", "Nový"},
    {"Ctrl+I", "Import signal (ANGLE)..."},
    {"Ctrl+Shift+I", "Import Signal (TIME)..."},
    {"Ctrl+E", "Import signal (ENCODER)..."},
    {"Ctrl+Z", "Zpět"},
    {"Ctrl+Shift+Z, Ctrl+Y", "Znovu"},
    {"F5", "Vytvořit události"},
    {"F6", "Vyplnit podle prvního"},
    {"F7", "Korigovat"},
    {"Ctrl+Tab, Ctrl+PgDown", "Další stránka"},
    {"Ctrl+Shift+Tab, Ctrl+PgUp", "Předchozí stránka"},
    {"Tab, Shift+Tab", "Další a předchozí ovládací prvek"},
    {"F10, Alt, Alt+F", "Nabídka File"},
    {"Alt+P, Alt+V, Alt+T", "Rozvod: Nastavit přesazení, Zapsat do válce, Načíst z tabulky"},
    {"Alt+N, Alt+V, Alt+H", "Spalování: Načíst tlakový průběh, Vypočítat, Navrhnout z motorového cyklu"},
};

// The keys in two aligned columns: a table, as tabs in a message box do not align.
QString KeysTable() {
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (const TKeyLine& line : kKeyLines) {
        html += QStringLiteral("<tr><td style=\"padding-right: 16px\"><b>%1</b></td><td>%2</td></tr>")
                    .arg(QString::fromUtf8(line.Keys).toHtmlEscaped(),
                         QString::fromUtf8(line.Does).toHtmlEscaped());
    }
    return html + QStringLiteral("</table>");
}

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
        QMessageBox box(QMessageBox::Information, "Klávesy", KeysTable(), QMessageBox::Ok, &window);
        box.setTextFormat(Qt::RichText);
        box.exec();
    });
}

}  // namespace morvane
