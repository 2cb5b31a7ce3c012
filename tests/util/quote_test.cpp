#include "util/quote.h"

#include <gtest/gtest.h>

#include <string>

namespace morvane {
namespace {

TEST(ShortenedQuote, CutsAfter200CharactersNeverInsideOne) {
    const std::string a200(200, 'a');
    const std::string czech200 = [] {
        std::string text;
        for (int i = 0; i < 200; ++i) {
            text += "č";
        }
        return text;
    }();
    const struct {
        const char* Name;
        std::string Text;
        std::string Quoted;
    } rows[] = {
        {"empty", "", ""},
        {"short", "60-60", "60-60"},
        {"exactly 200", a200, a200},
        {"201", a200 + "b", a200 + "…"},
        {"131,000", std::string(131000, 'x'), std::string(200, 'x') + "…"},
        {"two-byte characters", czech200 + "čč", czech200 + "…"},
        {"UTF-16",
         std::string("\xFF\xFE"
                     "1\0",
                     4),
         "\\xFF\\xFE1\\x00"},
        {"byte-order mark and tab kept, carriage return shown",
         "\xEF\xBB\xBF"
         "1\t2\r",
         "\xEF\xBB\xBF"
         "1\t2\\x0D"},
        {"cut two-byte character", "a\xC4", "a\\xC4"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(ShortenedQuote(row.Text), row.Quoted);
    }
}

}  // namespace
}  // namespace morvane
