#include "app/pages/SetupPage.h"

#include <QLineEdit>

#include "app/history/ChangeWatch.h"
#include "app/widgets/QtControls.h"

namespace morvane {

void TSetupPage::refreshFromSession(TSessionChange) {}

std::vector<TPageCommand> TSetupPage::commands() {
    return {};
}

std::vector<TTypedTable> TSetupPage::typedTables() const {
    return {};
}

QList<QTableWidget*> TSetupPage::writtenTables() const {
    return {};
}

QWidget* TSetupPage::statusLine() const {
    return nullptr;
}

void TSetupPage::focusStart() {}

void TSetupPage::addToReport(TReport&) const {}

void TSetupPage::watchChanges() {
    QList<const QTableWidget*> typed;
    for (const TTypedTable& table : typedTables()) {
        typed << table.Table;
    }
    WatchTypedChanges(
        this, typed, [this] { emit changed(); }, [this] { emit viewChanged(); });
}

void TakeFieldTexts(const std::vector<TFieldText>& fields) {
    for (const auto& [field, text] : fields) {
        *text = ToStdString(field->text());
    }
}

void FillFieldTexts(const std::vector<TFieldText>& fields) {
    for (const auto& [field, text] : fields) {
        field->setText(ToQString(*text));
    }
}

}  // namespace morvane
