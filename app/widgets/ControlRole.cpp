#include "app/widgets/ControlRole.h"

#include <QVariant>
#include <QWidget>

namespace morvane {

namespace {

constexpr const char* kRoleProperty = "morvaneControlRole";

}  // namespace

void SetControlRole(QWidget* control, TControlRole role) {
    control->setProperty(kRoleProperty, static_cast<int>(role));
}

TControlRole ControlRoleOf(const QObject* control) {
    for (const QObject* object = control; object != nullptr; object = object->parent()) {
        const QVariant role = object->property(kRoleProperty);
        if (role.isValid()) {
            return static_cast<TControlRole>(role.toInt());
        }
    }
    return TControlRole::Work;
}

}  // namespace morvane
