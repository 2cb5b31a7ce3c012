#include "app/history/FieldUndo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVariant>

#include <memory>
#include <utility>

#include "app/history/EditHistory.h"
#include "app/widgets/ControlRole.h"

namespace morvane {

namespace {

// The caption the user reads beside a field, without its unit: "Vrtání [mm]" names "Vrtání".
QString CaptionOf(QWidget* field) {
    QString caption = field->toolTip();
    if (const QWidget* parent = field->parentWidget()) {
        for (const QFormLayout* form : parent->findChildren<QFormLayout*>()) {
            if (const auto* label = qobject_cast<const QLabel*>(form->labelForField(field))) {
                caption = label->text();
                break;
            }
        }
        // A field placed by hand has its caption as its label's buddy.
        for (const QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (label->buddy() == field) {
                caption = label->text();
            }
        }
    }
    static const QRegularExpression kUnit(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    return caption.remove(kUnit);
}

// One field's value as the user last left it, and the step its change makes.
class TFieldWatch : public QObject {
public:
    TFieldWatch(QWidget* field, QUndoStack& stack, const TModifiedMark& modified)
        : QObject(field), m_field(field), m_stack(stack), m_modified(modified) {
        m_current = value();
        m_previous = m_current;
    }

    QVariant value() const {
        if (const auto* edit = qobject_cast<const QLineEdit*>(m_field)) {
            return edit->text();
        }
        if (const auto* box = qobject_cast<const QComboBox*>(m_field)) {
            return box->currentIndex();
        }
        return qobject_cast<const QCheckBox*>(m_field)->isChecked();
    }

    // Sets the value as code does; the field's own signals recompute the page.
    void apply(const QVariant& value) {
        m_applying = true;
        if (auto* edit = qobject_cast<QLineEdit*>(m_field)) {
            edit->setText(value.toString());
        } else if (auto* box = qobject_cast<QComboBox*>(m_field)) {
            box->setCurrentIndex(value.toInt());
        } else {
            qobject_cast<QCheckBox*>(m_field)->setChecked(value.toBool());
        }
        m_applying = false;
    }

    // Any change, the program's too: the value before the user's next one.
    // A list box tells its change before the user's choice, a text field
    // after the typing; the choice comes within the same event.
    void changed() {
        m_previous = m_current;
        m_current = value();
        if (!m_fresh) {
            m_fresh = true;
            QTimer::singleShot(0, this, [this] { m_fresh = false; });
        }
    }

    // The user's change, told before or after changed() depending on the control.
    void userChanged();

    // An editing ends with Enter or when the focus leaves: the next typing is a new step.
    void endEditing() { ++m_editing; }
    int editing() const { return m_editing; }

    TModifiedMark& modified() { return m_modified; }

private:
    QWidget* m_field;
    QUndoStack& m_stack;
    TModifiedMark m_modified;
    QVariant m_previous;
    QVariant m_current;
    int m_editing = 0;
    bool m_applying = false;
    bool m_fresh = false;
};

class TFieldCommand : public QUndoCommand {
public:
    TFieldCommand(const QString& text, TFieldWatch* watch, QVariant before, QVariant after, int editing,
                  bool modifiedBefore)
        : QUndoCommand(text),
          m_watch(watch),
          m_before(std::move(before)),
          m_after(std::move(after)),
          m_editing(editing),
          m_modifiedBefore(modifiedBefore) {}

    // The change is already made when the step is pushed.
    void redo() override {
        if (m_done) {
            m_watch->apply(m_after);
            if (m_then) {
                m_then->redo();
            }
            m_watch->modified().Set(true);
        }
        m_done = true;
    }
    void undo() override {
        if (m_then) {
            m_then->undo();
        }
        m_watch->apply(m_before);
        m_watch->modified().Set(m_modifiedBefore);
    }
    int id() const override { return kTypedStepId; }
    // Enter in a field runs a command while its editing is open: the typing
    // and the command are one step, named by the command.
    bool mergeWith(const QUndoCommand* other) override {
        if (m_then || m_editing != m_watch->editing()) {
            return false;
        }
        if (const auto* step = dynamic_cast<const TJoinableStep*>(other)) {
            m_then = step->copy();
            setText(step->text());
            return true;
        }
        const auto* next = dynamic_cast<const TFieldCommand*>(other);
        if (next == nullptr || next->m_watch != m_watch || next->m_editing != m_editing) {
            return false;
        }
        m_after = next->m_after;
        // Typed and typed back: no step is left.
        setObsolete(m_after == m_before);
        return true;
    }

private:
    // The window's history goes before its pages' fields.
    TFieldWatch* m_watch;
    QVariant m_before;
    QVariant m_after;
    int m_editing;
    bool m_modifiedBefore;
    bool m_done = false;
    // The command the typing's Enter ran, done after the typing.
    std::unique_ptr<QUndoCommand> m_then;
};

void TFieldWatch::userChanged() {
    if (m_applying) {
        return;
    }
    const QVariant after = value();
    const QVariant before = m_fresh && m_current == after ? m_previous : m_current;
    m_previous = after;
    m_current = after;
    if (before == after) {
        return;
    }
    const QString text =
        (qobject_cast<const QComboBox*>(m_field) != nullptr ? QStringLiteral("Volba %1")
                                                            : QStringLiteral("Úprava pole %1"))
            .arg(CaptionOf(m_field));
    m_stack.push(new TFieldCommand(text, this, before, after, m_editing, m_modified.Get()));
}

}  // namespace

namespace {

// The view and the display are no work to undo.
template <class TControl>
QList<TControl*> WorkControls(QWidget* page) {
    QList<TControl*> controls = page->findChildren<TControl*>();
    controls.removeIf([](const TControl* control) { return ControlRoleOf(control) != TControlRole::Work; });
    return controls;
}

}  // namespace

void TrackFieldSteps(QWidget* page, QUndoStack& stack, const TModifiedMark& modified) {
    for (QLineEdit* edit : WorkControls<QLineEdit>(page)) {
        auto* watch = new TFieldWatch(edit, stack, modified);
        QObject::connect(edit, &QLineEdit::textChanged, watch, [watch] { watch->changed(); });
        QObject::connect(edit, &QLineEdit::textEdited, watch, [watch] { watch->userChanged(); });
        QObject::connect(edit, &QLineEdit::editingFinished, watch, [watch] { watch->endEditing(); });
    }
    for (QComboBox* box : WorkControls<QComboBox>(page)) {
        auto* watch = new TFieldWatch(box, stack, modified);
        QObject::connect(box, &QComboBox::currentIndexChanged, watch, [watch] { watch->changed(); });
        QObject::connect(box, &QComboBox::activated, watch, [watch] {
            watch->userChanged();
            watch->endEditing();
        });
    }
    for (QCheckBox* check : WorkControls<QCheckBox>(page)) {
        auto* watch = new TFieldWatch(check, stack, modified);
        QObject::connect(check, &QCheckBox::toggled, watch, [watch] { watch->changed(); });
        QObject::connect(check, &QCheckBox::clicked, watch, [watch] {
            watch->userChanged();
            watch->endEditing();
        });
    }
}

}  // namespace morvane
