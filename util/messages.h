#pragma once

// The two modal boxes and the one command guard that shows every failure.

#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "util/errors.h"

namespace morvane {

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // Information box: title "Morvane", no icon, one "OK"; returns when closed.
    virtual void ShowInfo(const std::string& text) = 0;
    // Error box: the text as ErrorBoxText made it, stop icon, one "OK".
    virtual void ShowErrorBox(const std::string& text) = 0;
};

// The failure's message as the error box shows it: a '.' is appended when the
// last character's code is above that of '.'.
std::string ErrorBoxText(std::string_view message);

// The application title from the program's path: no folder, nothing from the
// first '.' on, the first character kept and further letters in lower case.
std::string ApplicationTitle(std::string_view programPath);

// Runs one command; any failure ends it and is shown in the error box.
// Returns true when the command ran to its end. A command the user stopped
// (ECancelled) shows nothing.
template <typename Command>
bool RunGuarded(IMessageBoxes& boxes, Command&& command) {
    std::string message;
    try {
        command();
        return true;
    } catch (const ECancelled&) {
        return false;
    } catch (const EMorvaneError& failure) {
        message = failure.what();
    } catch (const std::bad_alloc&) {
        message = "Out of memory";
    } catch (const std::exception& failure) {
        message = failure.what();
    }
    boxes.ShowErrorBox(ErrorBoxText(message));
    return false;
}

}  // namespace morvane
