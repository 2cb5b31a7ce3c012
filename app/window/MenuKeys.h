#pragma once

// The window's keys as desktop programs have them: F10, Alt+F or the Alt key
// pressed and released on its own opens the first menu, "File"; and the
// window's commands keep their keys while a text field has the focus.

#include <QObject>

class QKeyEvent;
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
    bool isWindowKey(const QKeyEvent& key) const;

    QMenuBar* m_menuBar;
    bool m_altAlone = false;
};

}  // namespace morvane
