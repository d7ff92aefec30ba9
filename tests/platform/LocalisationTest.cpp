// Choosing a language by code or environment; each catalog's keys and the texts that must differ.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "EnvGuard.h"
#include "platform/Localisation.h"

TEST(Localisation, SelectsByCodeThenEnvironmentThenEnglish) {
    EnvGuard env;
    Localisation::select("es");
    EXPECT_EQ(KL("KLDefaultSupplier"), Localisation::catalog("es").at("KLDefaultSupplier"));
    EXPECT_NE(KL("KLDefaultSupplier"), Localisation::catalog("en").at("KLDefaultSupplier"));
    // {code, LC_ALL, LC_MESSAGES, LANG, expected}; "-" leaves the variable unset.
    const char* cases[][5] = {
        {"zh", "-", "-", "-", "zh-Hans"},
        {"ZH_cn.UTF-8", "-", "-", "-", "zh-Hans"},
        {"en_GB", "-", "-", "es", "en"},
        {"fr", "-", "-", "es_ES.UTF-8", "es"},
        {"", "-", "zh_CN.UTF-8", "es_ES.UTF-8", "zh-Hans"},
        {"de", "POSIX", "zh_CN.UTF-8", "es_ES.UTF-8", "en"},
        {"", "-", "-", "fr_FR.UTF-8", "en"},
        {"", "-", "-", "-", "en"},
        {"", "", "-", "es_MX", "es"},  // empty variables are skipped
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c[0]) + "/" + c[1] + "/" + c[2] + "/" + c[3]);
        const char* vars[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
        for (int i = 0; i < 3; ++i) {
            if (std::string(c[i + 1]) == "-")
                env.unset(vars[i]);
            else
                env.set(vars[i], c[i + 1]);
        }
        Localisation::select(c[0]);
        EXPECT_EQ(Localisation::language(), c[4]);
    }
    Localisation::select("en");
    EXPECT_EQ(KL("KLDefaultSupplier"), "Default supplier");
    EXPECT_EQ(KL("KLNoSuchKey"), "KLNoSuchKey");
    EXPECT_TRUE(Localisation::catalog("xx").empty());
}

// Every "KL…" key written anywhere in the program's sources must have a text of its own in
// every catalog, so a new screen cannot ship a key that shows as itself.
TEST(LocalisationCatalogs, EveryKeyTheCodeUsesIsTranslatedInEveryCatalogAndNoneIsStray) {
    const char* root = std::getenv("MK_SOURCE_DIR");
    ASSERT_NE(root, nullptr) << "run through ctest, which sets MK_SOURCE_DIR";
    const std::regex keyLiteral("\"(KL[A-Za-z0-9]+)\"");
    std::set<std::string> used;
    for (const char* dir :
         {"app", "catalogue", "exchange", "orders", "platform", "stats", "storage", "widgets"}) {
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(std::string(root) + "/" + dir)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            std::ifstream in(entry.path());
            const std::string code((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            for (std::sregex_iterator it(code.begin(), code.end(), keyLiteral), end; it != end;
                 ++it)
                used.insert((*it)[1]);
        }
    }
    ASSERT_GT(used.size(), 60u);
    const auto languages = Localisation::availableLanguages();
    EXPECT_EQ(std::set<std::string>(languages.begin(), languages.end()),
              (std::set<std::string>{"en", "es", "zh-Hans"}));
    for (const auto& language : languages) {
        SCOPED_TRACE(language);
        const auto c = Localisation::catalog(language);
        for (const auto& key : used) {
            ASSERT_TRUE(c.count(key)) << "lacks " << key;
            EXPECT_NE(c.at(key), key) << key << " untranslated";
            EXPECT_FALSE(c.at(key).empty()) << key;
        }
        for (const auto& [key, text] : c) EXPECT_EQ(key.rfind("KL", 0), 0u) << "stray " << key;
        EXPECT_EQ(c.at("KLAppName"), "Marrowkeeper");
        // These texts are stored and compared, so two equal texts would mix kinds up.
        std::set<std::string> kinds;
        for (const char* k : {"KLDays", "KLWeeks", "KLMonths", "KLYears", "KLSales", "KLPurchase",
                              "KLDefaultSupplier", "KLDefaultCustomer"})
            kinds.insert(c.at(k));
        EXPECT_EQ(kinds.size(), 8u);
    }
}
