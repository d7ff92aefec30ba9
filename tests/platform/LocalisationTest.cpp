#include <gtest/gtest.h>

#include <set>

#include "EnvGuard.h"
#include "platform/EmbeddedFiles.h"
#include "platform/Localisation.h"

namespace {

// Every key a screen looks up; each catalog must hold all of them.
const std::vector<std::string> kAllKeys = {"KLAbout",
                                           "KLAddCustomers",
                                           "KLAddSupplier",
                                           "KLAllCustomers",
                                           "KLAllSupplier",
                                           "KLAmount",
                                           "KLAppName",
                                           "KLAppStore",
                                           "KLCSVDate",
                                           "KLCSVItems",
                                           "KLCSVNotes",
                                           "KLCSVOrderName",
                                           "KLCSVQuantity",
                                           "KLCSVTotal",
                                           "KLCSVType",
                                           "KLCSVWeek",
                                           "KLCancel",
                                           "KLCustomer",
                                           "KLDate",
                                           "KLDays",
                                           "KLDefaultCustomer",
                                           "KLDefaultSupplier",
                                           "KLDelete",
                                           "KLDeleteItems",
                                           "KLEditCustomers",
                                           "KLEditDetails",
                                           "KLEditProduct",
                                           "KLEditSubcategory",
                                           "KLEditSupplier",
                                           "KLEmail",
                                           "KLExists",
                                           "KLExportData",
                                           "KLFAQ",
                                           "KLFailedToSend",
                                           "KLFriday",
                                           "KLInventory",
                                           "KLInventoryStatistics",
                                           "KLItems",
                                           "KLModel",
                                           "KLMonday",
                                           "KLMonths",
                                           "KLMore",
                                           "KLName",
                                           "KLNewProduct",
                                           "KLNewSubcategory",
                                           "KLNoData",
                                           "KLNoRecord",
                                           "KLNotes",
                                           "KLOK",
                                           "KLOrder",
                                           "KLOrderStatistics",
                                           "KLPlzClickProducts",
                                           "KLPlzSelect",
                                           "KLPrice",
                                           "KLProducts",
                                           "KLPurchase",
                                           "KLQty",
                                           "KLRUWantToDelete",
                                           "KLRefPrice",
                                           "KLSales",
                                           "KLSaturday",
                                           "KLSelectProduct",
                                           "KLSendCancel",
                                           "KLSentSuccessfully",
                                           "KLStatistics",
                                           "KLSubcategory",
                                           "KLSunday",
                                           "KLSupplier",
                                           "KLTelephone",
                                           "KLThisMonth",
                                           "KLThursday",
                                           "KLTipDeleteProduct",
                                           "KLToday",
                                           "KLTotal",
                                           "KLTuesday",
                                           "KLUnits",
                                           "KLWednesday",
                                           "KLWeeks",
                                           "KLYears",
                                           "KLOperationFailed"};

class LocalisationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* v : {"LC_ALL", "LC_MESSAGES", "LANG"}) env.unset(v);
    }
    void TearDown() override { Localisation::select("en"); }
    EnvGuard env;
};

}  // namespace

TEST_F(LocalisationTest, EveryCatalogHoldsEveryKeyWithANonEmptyText) {
    const auto languages = Localisation::availableLanguages();
    EXPECT_EQ(std::set<std::string>(languages.begin(), languages.end()),
              (std::set<std::string>{"en", "es", "zh-Hans"}));
    for (const auto& code : languages) {
        ASSERT_TRUE(embeddedFile("resources/" + code + ".json")) << code;
        const auto catalog = Localisation::catalog(code);
        for (const auto& key : kAllKeys) {
            auto it = catalog.find(key);
            ASSERT_NE(it, catalog.end()) << code << " lacks " << key;
            EXPECT_FALSE(it->second.empty()) << code << " " << key;
            EXPECT_NE(it->second, key) << code << " leaves " << key << " untranslated";
        }
        for (const auto& [key, text] : catalog) {
            EXPECT_EQ(key.rfind("KL", 0), 0u) << code << " has a stray key " << key;
        }
        EXPECT_EQ(catalog.at("KLAppName"), "Marrowkeeper") << code;
    }
}

TEST_F(LocalisationTest, PeriodKindsAndOrderKindsAreDistinctInEveryLanguage) {
    // These texts are stored and compared, so two equal texts would mix kinds up.
    for (const auto& code : Localisation::availableLanguages()) {
        const auto c = Localisation::catalog(code);
        EXPECT_EQ((std::set<std::string>{c.at("KLDays"), c.at("KLWeeks"), c.at("KLMonths"),
                                         c.at("KLYears")})
                      .size(),
                  4u)
            << code;
        EXPECT_NE(c.at("KLSales"), c.at("KLPurchase")) << code;
        EXPECT_NE(c.at("KLDefaultSupplier"), c.at("KLDefaultCustomer")) << code;
        std::set<std::string> days;
        for (const char* d : {"KLSunday", "KLMonday", "KLTuesday", "KLWednesday", "KLThursday",
                              "KLFriday", "KLSaturday"})
            days.insert(c.at(d));
        EXPECT_EQ(days.size(), 7u) << code;
    }
}

TEST_F(LocalisationTest, SelectsTheCatalogByCode) {
    Localisation::select("es");
    EXPECT_EQ(Localisation::language(), "es");
    EXPECT_EQ(KL("KLDefaultSupplier"), Localisation::catalog("es").at("KLDefaultSupplier"));
    EXPECT_NE(KL("KLDefaultSupplier"), Localisation::catalog("en").at("KLDefaultSupplier"));

    for (const char* zh : {"zh", "zh-Hans", "zh_CN", "zh-Hans-CN", "ZH_cn.UTF-8"}) {
        Localisation::select(zh);
        EXPECT_EQ(Localisation::language(), "zh-Hans") << zh;
    }
    Localisation::select("en_GB");
    EXPECT_EQ(Localisation::language(), "en");
    EXPECT_EQ(KL("KLDefaultSupplier"), "Default supplier");
}

TEST_F(LocalisationTest, UnknownCodeFallsBackToTheEnvironmentThenEnglish) {
    env.set("LANG", "es_ES.UTF-8");
    Localisation::select("fr");
    EXPECT_EQ(Localisation::language(), "es");
    Localisation::select();
    EXPECT_EQ(Localisation::language(), "es");

    env.set("LC_MESSAGES", "zh_CN.UTF-8");
    Localisation::select();
    EXPECT_EQ(Localisation::language(), "zh-Hans");

    env.set("LC_ALL", "C");
    Localisation::select();
    EXPECT_EQ(Localisation::language(), "en");

    env.set("LC_ALL", "POSIX");
    Localisation::select("de");
    EXPECT_EQ(Localisation::language(), "en");

    env.unset("LC_ALL");
    env.unset("LC_MESSAGES");
    env.set("LANG", "fr_FR.UTF-8");
    Localisation::select();
    EXPECT_EQ(Localisation::language(), "en");

    env.unset("LANG");
    Localisation::select();
    EXPECT_EQ(Localisation::language(), "en");
}

TEST_F(LocalisationTest, EmptyVariablesAreSkipped) {
    env.set("LC_ALL", "");
    env.set("LANG", "es_MX");
    Localisation::select();
    EXPECT_EQ(Localisation::language(), "es");
}

TEST_F(LocalisationTest, MissingKeyShowsTheKey) {
    Localisation::select("zh-Hans");
    EXPECT_EQ(KL("KLNoSuchKey"), "KLNoSuchKey");
    EXPECT_EQ(KL(""), "");
    EXPECT_EQ(KL("KLAppName"), "Marrowkeeper");
    EXPECT_EQ(Localisation::catalog("xx"), (std::map<std::string, std::string>{}));
}
