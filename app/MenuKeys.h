#pragma once

// Opens a window's first menu from the keyboard: F10, or the Alt key pressed
// and released on its own, as desktop programs do.

#include <QObject>

class QMenuBar;

namespace morvane {

class TMenuKeys : public QObject {
    Q_OBJECT

public:
    // Lives as long as the menu bar.
    static void attach(QMenuBar* menuBar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TMenuKeys(QMenuBar* menuBar);
    void openFirstMenu();

    QMenuBar* m_menuBar;
    bool m_altAlone = false;
};

}  // namespace morvane
