#include "app/widgets/TextLimit.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include "app/widgets/QtControls.h"
#include "util/errors.h"

namespace morvane {

bool FitsTextLimit(const QString& text) {
    return text.size() <= kMaxTextLength;
}

void RaiseTextTooLong() {
    RaiseTextTooLongError(kMaxTextLength);
}

void TTextLimit::attach(QLineEdit* edit) {
    edit->setValidator(new TTextLimit(edit));
    // One character over the limit still reaches the validator, which refuses
    // the whole edit; the line itself then never holds more, however long
    // the pasted text.
    edit->setMaxLength(kMaxTextLength + 1);
}

TTextLimit::TTextLimit(QLineEdit* edit) : QValidator(edit), m_edit(edit) {
    connect(edit, &QLineEdit::inputRejected, this, &TTextLimit::refused);
}

QValidator::State TTextLimit::validate(QString& input, int& /*position*/) const {
    return FitsTextLimit(input) ? Acceptable : Invalid;
}

void TTextLimit::refused() {
    if (m_boxPending) {
        return;
    }
    m_boxPending = true;
    QTimer::singleShot(0, this, [this] {
        m_boxPending = false;
        // A cell's editor closes, and may be deleted, while the box is shown.
        TQtMessageBoxes boxes(m_edit->window());
        RunGuarded(boxes, [] { RaiseTextTooLong(); });
    });
}

}  // namespace morvane
