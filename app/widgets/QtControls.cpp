#include "app/widgets/QtControls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>

namespace morvane {

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string ToStdString(const QString& text) {
    return text.toUtf8().toStdString();
}

TOverrideCursor::TOverrideCursor(Qt::CursorShape shape) {
    QApplication::setOverrideCursor(QCursor(shape));
}

TOverrideCursor::~TOverrideCursor() {
    QApplication::restoreOverrideCursor();
}

namespace {

void MakeReadOnly(QTableWidgetItem* item) {
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
}

QString BoxTitle() {
    return QCoreApplication::applicationName();
}

}  // namespace

// ---- text grid ----

TQtCellGrid::TQtCellGrid(QTableWidget* table, int fixedRows, int fixedColumns, THeaderRow headerRow)
    : m_table(table), m_fixedRows(fixedRows), m_fixedColumns(fixedColumns), m_headerRow(headerRow) {
    if (m_headerRow == THeaderRow::Pinned) {
        QHeaderView* header = m_table->horizontalHeader();
        header->setVisible(true);
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // As high as a row, like the fixed row it stands for.
        header->setFixedHeight(m_table->verticalHeader()->defaultSectionSize());
    }
}

int TQtCellGrid::rowCount() const {
    return m_table->rowCount();
}

void TQtCellGrid::setRowCount(int rows) {
    const int before = m_table->rowCount();
    m_table->setRowCount(rows);
    if (rows > before) {
        prepareCells();
    }
}

std::string TQtCellGrid::cellText(int column, int row) const {
    const QTableWidgetItem* item = m_table->item(row, column);
    return item == nullptr ? std::string() : ToStdString(item->text());
}

void TQtCellGrid::setCellText(int column, int row, const std::string& text) {
    if (QTableWidgetItem* item = itemAt(column, row)) {
        const QString value = ToQString(text);
        if (item->text() != value) {
            item->setText(value);
        }
        if (m_headerRow == THeaderRow::Pinned && row == 0) {
            m_table->setHorizontalHeaderItem(column, new QTableWidgetItem(value));
        }
    }
}

QTableWidgetItem* TQtCellGrid::itemAt(int column, int row) {
    if (row < 0 || row >= m_table->rowCount() || column < 0 || column >= m_table->columnCount()) {
        return nullptr;
    }
    QTableWidgetItem* item = m_table->item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        if (row < m_fixedRows || column < m_fixedColumns) {
            MakeReadOnly(item);
            item->setBackground(m_table->palette().button());
            item->setForeground(m_table->palette().buttonText());
        }
        m_table->setItem(row, column, item);
    }
    return item;
}

void TQtCellGrid::prepareCells() {
    if (m_headerRow == THeaderRow::Pinned && m_table->rowCount() > 0) {
        m_table->setRowHidden(0, true);
        // The header shows row 0 as it is, empty included, never Qt's column numbers.
        for (int column = 0; column < m_table->columnCount(); ++column) {
            const QTableWidgetItem* cell = m_table->item(0, column);
            m_table->setHorizontalHeaderItem(
                column, new QTableWidgetItem(cell == nullptr ? QString() : cell->text()));
        }
    }
    for (int row = 0; row < m_table->rowCount(); ++row) {
        for (int column = 0; column < m_table->columnCount(); ++column) {
            itemAt(column, row);
        }
    }
}

// ---- key/value list ----

int TQtValueList::rowCount() const {
    return m_table->rowCount();
}

std::string TQtValueList::key(int row) const {
    const QTableWidgetItem* item = m_table->item(row - 1, 0);
    return item == nullptr ? std::string() : ToStdString(item->text());
}

std::string TQtValueList::value(int row) const {
    const QTableWidgetItem* item = m_table->item(row - 1, 1);
    return item == nullptr ? std::string() : ToStdString(item->text());
}

void TQtValueList::setValue(int row, const std::string& text) {
    QTableWidgetItem* item = m_table->item(row - 1, 1);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        if (!m_valuesEditable) {
            MakeReadOnly(item);
        }
        m_table->setItem(row - 1, 1, item);
    }
    item->setText(ToQString(text));
}

void TQtValueList::clear() {
    m_table->setRowCount(0);
}

void TQtValueList::append(const std::string& key, const std::string& value) {
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    auto* keyItem = new QTableWidgetItem(ToQString(key));
    MakeReadOnly(keyItem);
    m_table->setItem(row, 0, keyItem);
    auto* valueItem = new QTableWidgetItem(ToQString(value));
    if (!m_valuesEditable) {
        MakeReadOnly(valueItem);
    }
    m_table->setItem(row, 1, valueItem);
}

// ---- message boxes ----

void TQtMessageBoxes::ShowInfo(const std::string& text) {
    // A box waits for the user: the arrow, even while a wait cursor is shown.
    const TOverrideCursor arrow(Qt::ArrowCursor);
    QMessageBox box(QMessageBox::NoIcon, BoxTitle(), ToQString(text), QMessageBox::Ok);
    box.setObjectName("InfoBox");
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // Long texts wrap at half the screen's width.
        box.setStyleSheet(QStringLiteral("QLabel { max-width: %1px; }").arg(screen->geometry().width() / 2));
    }
    box.exec();
}

void TQtMessageBoxes::ShowErrorBox(const std::string& text) {
    // A drag in progress (of a slider, say) ends before the box appears.
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    const TOverrideCursor arrow(Qt::ArrowCursor);
    QWidget* owner = QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : m_window;
    QMessageBox box(QMessageBox::Critical, BoxTitle(), ToQString(text), QMessageBox::Ok, owner);
    box.setObjectName("ErrorBox");
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

// ---- open dialog ----

QFileDialog* TQtOpenDialog::dialog() {
    if (m_dialog == nullptr) {
        m_dialog = new QFileDialog(m_window);
        m_dialog->setObjectName(m_objectName);
        m_dialog->setOption(QFileDialog::DontUseNativeDialog);
        m_dialog->setFileMode(QFileDialog::ExistingFile);
        m_dialog->setAcceptMode(QFileDialog::AcceptOpen);
    }
    return m_dialog;
}

void TQtOpenDialog::setFilter(const std::string& filter) {
    // "Description|pattern|Description|pattern" becomes Qt's "Description (pattern)" list.
    const QStringList parts = ToQString(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        filters << (description.contains(u'(') ? description : description + " (" + pattern + ")");
    }
    dialog()->setNameFilters(filters);
}

void TQtOpenDialog::setDefaultExt(const std::string& extension) {
    QString suffix = ToQString(extension);
    if (suffix.startsWith(QStringLiteral("*."))) {
        suffix.remove(0, 2);
    }
    dialog()->setDefaultSuffix(suffix);
}

void TQtOpenDialog::setFilterIndex(int index) {
    const QStringList filters = dialog()->nameFilters();
    if (index >= 1 && index <= filters.size()) {
        dialog()->selectNameFilter(filters[index - 1]);
    }
}

void TQtOpenDialog::setFileName(const std::string& name) {
    dialog()->selectFile(ToQString(name));
}

bool TQtOpenDialog::execute() {
    const TOverrideCursor arrow(Qt::ArrowCursor);
    const bool accepted = dialog()->exec() == QDialog::Accepted;
    // A path typed and confirmed with Enter at once leaves the file-name
    // completer's list open over the window after the dialog has closed.
    for (QCompleter* completer : m_dialog->findChildren<QCompleter*>()) {
        completer->popup()->hide();
    }
    return accepted;
}

std::string TQtOpenDialog::fileName() const {
    const QStringList files = m_dialog == nullptr ? QStringList() : m_dialog->selectedFiles();
    return files.isEmpty() ? std::string() : ToStdString(files.first());
}

}  // namespace morvane
