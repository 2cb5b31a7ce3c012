#pragma once

// A horizontal pair of arrow buttons bound to a line edit: each step writes
// the new whole-number position into the edit; the up and down arrow keys in
// the edit step it too.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace morvane {

class TUpDown : public QWidget {
    Q_OBJECT

public:
    TUpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent);

    int position() const { return m_position; }
    void step(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_buddy;
    QToolButton* m_down;
    QToolButton* m_up;
    int m_minimum;
    int m_maximum;
    int m_position = 0;
};

}  // namespace morvane
