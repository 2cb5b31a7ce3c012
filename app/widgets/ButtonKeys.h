#pragma once

// A page's button as a keyboard user reaches it: in the Tab order, pressed
// with Enter or Space when it has the focus, and with its key while the focus
// is anywhere on page; the tooltip shows the key.

class QKeySequence;
class QPushButton;
class QWidget;

namespace morvane {

void AttachButtonKey(QPushButton* button, const QKeySequence& key, QWidget* page);

}  // namespace morvane
