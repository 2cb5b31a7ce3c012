#pragma once

// A QFileDialog run modally as the core's save dialog: the open dialog's
// adapter with the dialog turned to saving, named objectName, built when a
// command first needs it. The dialog asks before it replaces a file. It may
// offer one choice of the saving beside the file name, as a check box.

#include <QString>

class QCheckBox;

#include "app/widgets/QtControls.h"
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

    // Offers a check box of text (objectName name) under the file name,
    // unticked until the user ticks it; it keeps its state between saves.
    void offerChoice(const QString& text, const QString& name);
    bool choiceTicked() const;
    void tickChoice(bool ticked);

private:
    void turnToSaving();

    TQtOpenDialog m_dialog;
    QString m_choiceText;
    QString m_choiceName;
    QCheckBox* m_choice = nullptr;
    bool m_choiceTicked = false;
};

}  // namespace morvane
