#pragma once

// Every cell and field of the window takes at most kMaxTextLength characters.
// A longer text, typed or pasted, is refused whole with a message, never cut;
// so a pasted clipboard of any size is never laid out and a command never
// reads a text that was shortened behind the user's back.

#include <QValidator>

class QLineEdit;
class QString;

namespace morvane {

constexpr int kMaxTextLength = 1000;

bool FitsTextLimit(const QString& text);

// Raises the failure that tells the user of the limit.
[[noreturn]] void RaiseTextTooLong();

class TTextLimit : public QValidator {
    Q_OBJECT

public:
    // Limits a field or a cell's editor; lives as long as it.
    static void attach(QLineEdit* edit);

    State validate(QString& input, int& position) const override;

private:
    explicit TTextLimit(QLineEdit* edit);
    // One refused edit shows one box, after the edit has been undone.
    void refused();

    QLineEdit* m_edit;
    bool m_boxPending = false;
};

}  // namespace morvane
