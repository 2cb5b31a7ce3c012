#include "app/widgets/ButtonKeys.h"

#include <QAction>
#include <QKeySequence>
#include <QPushButton>

namespace morvane {

void AttachButtonKey(QPushButton* button, const QKeySequence& key, QWidget* page) {
    button->setFocusPolicy(Qt::StrongFocus);
    // Outside a dialog a button takes Enter only as its own default.
    button->setAutoDefault(true);
    auto* action = new QAction(button->text(), page);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    page->addAction(action);
    // A disabled button ignores its key as it ignores the mouse.
    QObject::connect(action, &QAction::triggered, button, &QPushButton::click);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), key.toString(QKeySequence::NativeText)));
}

}  // namespace morvane
