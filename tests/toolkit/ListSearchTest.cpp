// A list's search: case folded in any script, every typed character taken as itself, the
// list's order kept and shown rows mapped back to their list positions.
#include <gtest/gtest.h>

#include "platform/Localisation.h"
#include "toolkit/ListSearch.h"

TEST(TextSearch, FoldsCaseInAnyScriptAndTakesEveryTypedCharacterAsItself) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {" PRODUCT 19\t", "Product 1999", true},
        {"\u3000", "", true},  // blank: an ideographic space
        {"50%", "500 g", false},
        {"50%", "Save 50% now", true},
        {"a_c", "abc", false},
        {"ÁRBOL", "árbol", true},
        {"straße", "STRASSE", true},
        {"ΟΔΟΣ", "οδος", true},
        {"ＡＢ", "ab", true},
        {"螺丝", "不锈钢螺丝", true},
        {"螺母", "螺丝", false},
        {"é", "e", false},
    };
    for (const auto& [typed, text, found] : cases)
        EXPECT_EQ(TextSearch(typed).matches(text), found) << typed << " in " << text;
}

TEST(ListSearch, KeepsTheListsOrderAndMapsShownRowsBackToTheList) {
    Localisation::select("en");
    ListSearch search;
    for (const auto& [name, model] :
         {std::pair{"Nails", "N-1"}, {"Hammer", "nail gun"}, {"Saw", "S-1"}, {"nail file", "100%"}})
        search.addRow({name, model});
    EXPECT_EQ(search.filter("NAIL"), (std::vector<size_t>{0, 1, 3}));  // the model counts too
    EXPECT_EQ((std::vector{search.positionOf(2), search.positionOf(3), search.positionOf(-1)}),
              (std::vector<long>{3, -1, -1}));
    EXPECT_EQ(search.filter("s\nn"), std::vector<size_t>{});  // never across two texts
    EXPECT_EQ(search.emptyText(), KL("KLNoMatches"));
    EXPECT_EQ(search.filter("  ").size(), 4u);
    EXPECT_FALSE(search.filtering());
    EXPECT_EQ(search.emptyText(), "");
}
