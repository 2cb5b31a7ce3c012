#pragma once

// What the commands need around the file dialogs, and the field splitter of
// the angle-signal import.

#include <string>
#include <string_view>
#include <utility>

namespace morvane {

extern const std::string TextFilter;
extern const std::string BitmapFilter;
extern const std::string JPEGFilter;
extern const std::string AVIFilter;
extern const std::string CSVFilter;
extern const std::string kSourceFilter;
extern const std::string DLLFilter;
extern const std::string ConfirmUnsavedText;

// Cuts the input at the first separator into the trimmed left and right parts.
// Without a separator the left part is the whole input, untrimmed, and the
// right part is empty.
void SplitAt(std::string_view input, char separator, std::string& left, std::string& right);

// The same without copies: the parts are views into the input.
void SplitAtView(std::string_view input, char separator, std::string_view& left, std::string_view& right);

// A file dialog as the core sees it; app/ adapts a QFileDialog, the batch tool
// answers with the path on its command line.
class IFileDialog {
public:
    virtual ~IFileDialog() = default;
    virtual void setFilter(const std::string& filter) = 0;
    virtual void setDefaultExt(const std::string& extension) = 0;
    virtual void setFilterIndex(int index) = 0;  // counted from 1
    virtual void setFileName(const std::string& name) = 0;
    virtual bool execute() = 0;  // modal; true when the user confirmed a file
    virtual std::string fileName() const = 0;
};

// Asks for an existing file to read.
class IOpenDialog : public IFileDialog {};

// An open dialog whose user always picks one known file: the batch tool's
// file on its command line, a set-up's signal file imported again.
class TKnownFileDialog final : public IOpenDialog {
public:
    explicit TKnownFileDialog(std::string path) : m_path(std::move(path)) {}
    void setFilter(const std::string&) override {}
    void setDefaultExt(const std::string&) override {}
    void setFilterIndex(int) override {}
    void setFileName(const std::string&) override {}
    bool execute() override { return true; }
    std::string fileName() const override { return m_path; }

private:
    std::string m_path;
};

// Asks for a file to write; the dialog itself asks before replacing one.
class ISaveDialog : public IFileDialog {};

// Prepares and runs the dialog; the chosen path, or empty text on cancel or
// when no dialog is given.
std::string ExecuteOpenDialog(IOpenDialog* dialog, const std::string& filter, const std::string& initialName);
std::string ExecuteSaveDialog(ISaveDialog* dialog, const std::string& filter, const std::string& initialName);

}  // namespace morvane
