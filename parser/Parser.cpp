#include "parser/Parser.h"

#include <algorithm>

namespace morvane {

// A component with an owner is freed by that owner, so it must live on the
// heap; one without an owner is freed by whoever created it.
TComponent::TComponent(TComponent* owner) : m_owner(owner) {
    if (m_owner != nullptr) {
        m_owner->insertComponent(this);
    }
}

TComponent::~TComponent() {
    // Children are freed last-created first. Each is detached before it is
    // deleted so that its own destructor does not search this list again.
    while (!m_components.empty()) {
        TComponent* child = m_components.back();
        m_components.pop_back();
        child->m_owner = nullptr;
        delete child;
    }
    if (m_owner != nullptr) {
        m_owner->removeComponent(this);
    }
}

void TComponent::insertComponent(TComponent* child) {
    m_components.push_back(child);
}

void TComponent::removeComponent(TComponent* child) {
    auto found = std::find(m_components.begin(), m_components.end(), child);
    if (found != m_components.end()) {
        m_components.erase(found);
    }
}

TMathParser::TMathParser(TComponent* owner) : TComponent(owner) {}

}  // namespace morvane
