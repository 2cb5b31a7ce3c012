#pragma once

// Closes the next modal box or dialog that a command opens, after recording
// what it showed, so a test can drive commands that wait for the user.

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class TModalBoxCatcher : public QObject {
    Q_OBJECT

public:
    // Without a handler the box is closed with its default button.
    explicit TModalBoxCatcher(std::function<void(QWidget*)> handler = {});

    bool caught() const { return m_caught; }
    QString text() const { return m_text; }
    QString title() const { return m_title; }
    QMessageBox::Icon icon() const { return m_icon; }
    int boxes() const { return m_boxes; }

private:
    void poll();

    std::function<void(QWidget*)> m_handler;
    QTimer m_timer;
    bool m_caught = false;
    int m_boxes = 0;
    QString m_text;
    QString m_title;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
};
