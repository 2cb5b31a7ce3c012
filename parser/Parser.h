#pragma once

// The expression parser component. One instance is created at start-up and
// freed at exit; nothing asks it to evaluate anything, so it holds only its
// published properties.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace morvane {

// A named object with an optional owner; an owner frees what it owns.
class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return m_owner; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    std::size_t ComponentCount() const { return m_components.size(); }

private:
    void insertComponent(TComponent* child);
    void removeComponent(TComponent* child);

    TComponent* m_owner = nullptr;
    std::string m_name;
    std::vector<TComponent*> m_components;
};

class TMathParser;

// Asks for a variable's value: the handler sets Value, and Found when it knows the name.
using TGetVarEvent =
    std::function<void(TMathParser* Sender, std::string VarName, long double& Value, bool& Found)>;
using TParseErrorEvent = std::function<void(TMathParser* Sender, std::int32_t ParseError)>;

class TMathParser : public TComponent {
public:
    explicit TMathParser(TComponent* owner = nullptr);

    TGetVarEvent OnGetVar;
    TParseErrorEvent OnParseError;
    std::string ParseString;
};

}  // namespace morvane
