#pragma once
// What the user typed into a list's search field, ready to test the list's texts with. A text
// matches when the typed text occurs anywhere in it, case ignored in every script: both sides
// are compared in ICU's NFKC case folding, so "ÁRBOL" finds "árbol", "STRASSE" finds "Straße"
// and full-width "ＡＢ" finds "ab". Every typed character stands for itself ('%', '_' and '\'
// are no wildcards); a typed line break is a space, white space around the typed text is
// dropped, and blank typing matches every text.
#include <string>
#include <string_view>

class TextSearch {
  public:
    TextSearch() = default;  // blank: matches every text
    explicit TextSearch(std::string_view typed);

    // The form texts are compared in. Folding a list's texts once when the list is read
    // leaves only a plain substring search for each keystroke.
    static std::string fold(std::string_view text);

    bool blank() const { return folded_.empty(); }
    // Whether a text given in its fold() form holds the typed text.
    bool matchesFolded(std::string_view foldedText) const {
        return foldedText.find(folded_) != std::string_view::npos;
    }
    bool matches(std::string_view text) const { return blank() || matchesFolded(fold(text)); }

  private:
    std::string folded_;
};
