#include "parser/Parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvane {
namespace {

// Notes its name in a shared log when it is freed.
class TLoggedComponent : public TComponent {
public:
    TLoggedComponent(TComponent* owner, std::string name, std::vector<std::string>& log)
        : TComponent(owner), m_log(log) {
        SetName(std::move(name));
    }
    ~TLoggedComponent() override { m_log.push_back(Name()); }

private:
    std::vector<std::string>& m_log;
};

TEST(TComponent, OwnerFreesItsChildren) {
    std::vector<std::string> freed;
    auto* owner = new TLoggedComponent(nullptr, "owner", freed);
    new TLoggedComponent(owner, "first", freed);
    auto* second = new TLoggedComponent(owner, "second", freed);
    new TLoggedComponent(second, "grandchild", freed);
    EXPECT_EQ(owner->ComponentCount(), 2u);
    EXPECT_EQ(second->Owner(), owner);

    delete owner;
    // The owner's own destructor body runs before the base frees the children.
    EXPECT_EQ(freed, (std::vector<std::string>{"owner", "second", "grandchild", "first"}));
}

TEST(TComponent, FreedChildLeavesItsOwner) {
    std::vector<std::string> freed;
    TLoggedComponent owner(nullptr, "owner", freed);
    auto* child = new TLoggedComponent(&owner, "child", freed);
    ASSERT_EQ(owner.ComponentCount(), 1u);
    delete child;
    EXPECT_EQ(owner.ComponentCount(), 0u);
    EXPECT_EQ(freed, (std::vector<std::string>{"child"}));
}

TEST(TMathParser, StartsEmptyAndCarriesItsEvents) {
    TComponent owner;
    auto* parser = new TMathParser(&owner);
    EXPECT_EQ(parser->ParseString, "");
    EXPECT_EQ(parser->Owner(), &owner);
    EXPECT_FALSE(parser->OnGetVar);
    EXPECT_FALSE(parser->OnParseError);

    std::string asked;
    parser->OnGetVar = [&asked](TMathParser*, std::string name, long double& value, bool& found) {
        asked = std::move(name);
        value = 2.5L;
        found = true;
    };
    std::int32_t lastError = 0;
    parser->OnParseError = [&lastError](TMathParser*, std::int32_t code) { lastError = code; };

    long double value = 0;
    bool found = false;
    parser->OnGetVar(parser, "x", value, found);
    EXPECT_EQ(asked, "x");
    EXPECT_TRUE(found);
    EXPECT_EQ(value, 2.5L);
    parser->OnParseError(parser, 7);
    EXPECT_EQ(lastError, 7);
    // The owner frees the parser when it goes.
}

}  // namespace
}  // namespace morvane
