#pragma once

// A QFileDialog run modally as the core's save dialog: the open dialog's
// adapter with the dialog turned to saving, named objectName, built when a
// command first needs it. The dialog asks before it replaces a file.

#include <QString>

#include "app/QtControls.h"
#include "util/dialogutil.h"

namespace morvane {

class TQtSaveDialog : public ISaveDialog {
public:
    TQtSaveDialog(QWidget* window, QString objectName) : m_dialog(window, std::move(objectName)) {}

    void setFilter(const std::string& filter) override;
    void setDefaultExt(const std::string& extension) override;
    void setFilterIndex(int index) override;
    void setFileName(const std::string& name) override;
    bool execute() override;
    std::string fileName() const override { return m_dialog.fileName(); }

private:
    void turnToSaving();

    TQtOpenDialog m_dialog;
};

}  // namespace morvane
