#include "util/dialogutil.h"

#include "util/textfile.h"

namespace morvane {

const std::string TextFilter = "Text files (*.txt)|*.txt";
const std::string BitmapFilter = "Bitmap pictures (*.bmp)|*.bmp";
const std::string JPEGFilter = "JPEG pictures (*.jpg)|*.jpg";
const std::string AVIFilter = "AVI videos (*.avi)|*.avi";
const std::string CSVFilter = "CSV tables (*.csv)|*.csv";
const std::string kSourceFilter = "C++ sources (*.cpp)|*.cpp";
const std::string DLLFilter = "Dynamic libraries (*.dll)|*.dll";
const std::string ConfirmUnsavedText = "Are you sure? Unsaved work will be lost.";

void SplitAtView(std::string_view input, char separator, std::string_view& left, std::string_view& right) {
    std::size_t at = input.find(separator);
    if (at == std::string_view::npos) {
        left = input;
        right = std::string_view();
        return;
    }
    // Only the first separator cuts; later ones stay in the right part.
    left = TrimBlanksView(input.substr(0, at));
    right = TrimBlanksView(input.substr(at + 1));
}

void SplitAt(std::string_view input, char separator, std::string& left, std::string& right) {
    std::string_view leftView;
    std::string_view rightView;
    SplitAtView(input, separator, leftView, rightView);
    // Assigning through views would misbehave if left or right were the input
    // itself, so the parts are copied out before either output is touched.
    std::string leftPart(leftView);
    std::string rightPart(rightView);
    left = std::move(leftPart);
    right = std::move(rightPart);
}

namespace {

std::string ExecuteFileDialog(IFileDialog* dialog, const std::string& filter,
                              const std::string& initialName) {
    if (dialog == nullptr) {
        return std::string();
    }
    dialog->setFilter(filter);
    // The pattern after the first '|' as it stands ("*.csv"); the dialog
    // decides what to make of it.
    std::string description;
    std::string pattern;
    SplitAt(filter, '|', description, pattern);
    dialog->setDefaultExt(pattern);
    dialog->setFilterIndex(1);
    dialog->setFileName(initialName);
    bool confirmed = dialog->execute();
    std::string chosen = dialog->fileName();
    return confirmed ? chosen : std::string();
}

}  // namespace

std::string ExecuteOpenDialog(IOpenDialog* dialog, const std::string& filter,
                              const std::string& initialName) {
    return ExecuteFileDialog(dialog, filter, initialName);
}

std::string ExecuteSaveDialog(ISaveDialog* dialog, const std::string& filter,
                              const std::string& initialName) {
    return ExecuteFileDialog(dialog, filter, initialName);
}

}  // namespace morvane
