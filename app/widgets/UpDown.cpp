#include "app/widgets/UpDown.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace morvane {

TUpDown::TUpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_minimum(minimum), m_maximum(maximum) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::LeftArrow);
    m_down->setObjectName("UpDownLeft");
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::RightArrow);
    m_up->setObjectName("UpDownRight");
    for (QToolButton* button : {m_down, m_up}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(button);
    }
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    m_buddy->installEventFilter(this);
}

void TUpDown::step(int delta) {
    // A whole number typed into the box is where the next step starts from.
    bool isWhole = false;
    const int typed = m_buddy->text().trimmed().toInt(&isWhole);
    if (isWhole) {
        m_position = std::clamp(typed, m_minimum, m_maximum);
    }
    const int next = std::clamp(m_position + delta, m_minimum, m_maximum);
    if (next == m_position && isWhole && typed == next) {
        return;  // at the end of the range: no wrap-around, no change
    }
    m_position = next;
    m_buddy->setText(QString::number(m_position));
    // A step is the user's edit as typing is: the title's mark and the undo step follow it.
    emit m_buddy->textEdited(m_buddy->text());
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace morvane
