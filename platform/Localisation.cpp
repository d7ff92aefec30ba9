#include "platform/Localisation.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>

#include "platform/EmbeddedFiles.h"
#include "platform/FlatJson.h"

namespace {

const std::vector<std::string> kLanguages = {"en", "es", "zh-Hans"};

struct State {
    std::string language = "en";
    std::map<std::string, std::string> texts;
    bool loaded = false;
};

State& state() {
    static State s;
    return s;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Maps a language tag or POSIX locale name ("es", "es_ES.UTF-8", "zh_CN", "zh-Hans-CN")
// to one of the catalogs; empty when none fits.
std::string catalogFor(const std::string& code) {
    std::string c = lower(code);
    // Drop the encoding and modifier: "es_ES.UTF-8@euro" → "es_es".
    c = c.substr(0, c.find_first_of(".@"));
    std::replace(c.begin(), c.end(), '_', '-');
    std::string lang = c.substr(0, c.find('-'));
    if (lang == "en" || lang == "c" || lang == "posix") return "en";
    if (lang == "es") return "es";
    if (lang == "zh") {
        // Traditional script regions still get the one Chinese catalog there is.
        return "zh-Hans";
    }
    return {};
}

}  // namespace

std::map<std::string, std::string> Localisation::catalog(const std::string& code) {
    auto file = embeddedFile("resources/" + code + ".json");
    if (!file) return {};
    std::string error;
    auto parsed = flatjson::parse(*file, &error);
    if (!parsed) {
        std::cerr << "localisation: resources/" << code << ".json is malformed: " << error << "\n";
        return {};
    }
    return *parsed;
}

void Localisation::select(const std::string& code) {
    std::string chosen;
    if (!code.empty()) chosen = catalogFor(code);
    if (chosen.empty()) {
        for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* v = std::getenv(var);
            if (v && *v) {
                // The first variable that is set decides, as the C library does.
                chosen = catalogFor(v);
                break;
            }
        }
    }
    if (chosen.empty()) chosen = "en";
    auto& s = state();
    s.language = chosen;
    s.texts = catalog(chosen);
    s.loaded = true;
}

const std::string& Localisation::language() {
    if (!state().loaded) select();
    return state().language;
}

std::string Localisation::text(const std::string& key) {
    if (!state().loaded) select();
    const auto& texts = state().texts;
    auto it = texts.find(key);
    if (it == texts.end() || it->second.empty()) return key;
    return it->second;
}

std::vector<std::string> Localisation::availableLanguages() {
    return kLanguages;
}
