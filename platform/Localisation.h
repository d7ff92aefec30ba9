#pragma once
// Localisation table: one JSON catalog per language (resources/<code>.json, compiled
// into the program); a text by key, falling back to the key itself.
#include <map>
#include <string>
#include <vector>

class Localisation {
  public:
    // Picks the catalog: `code` when given and known, else the environment's locale
    // (LC_ALL, LC_MESSAGES, LANG), else English.
    static void select(const std::string& code = "");
    static const std::string& language();
    static std::string text(const std::string& key);
    static std::vector<std::string> availableLanguages();
    // The whole catalog of one language (tests check every catalog holds every key).
    static std::map<std::string, std::string> catalog(const std::string& code);
};

// Shorthand used by every screen.
inline std::string KL(const std::string& key) {
    return Localisation::text(key);
}
