#pragma once
// Exact sums of amounts and quantities stored as text. Each addend is the text's leading
// decimal number (scanLeadingNumber) held as a whole number of millionths. The app writes at
// most three decimals, so what it stores is read exactly; digits past the sixth are dropped,
// which still rounds any single text to the cent as its exact value rounds. A text whose
// number is not within ±10^15 (400 typed digits, "1e39") adds 0. The sum is a 128-bit
// integer: one addend takes at most 70 bits, so no ledger a file can hold overflows it, and
// the result does not depend on the order of adding.
#include <optional>
#include <string>
#include <string_view>

#include "platform/Text.h"

class DecimalSum {
  public:
    using Units = __int128;  // millionths

    DecimalSum() = default;
    static DecimalSum ofUnits(Units units) {
        DecimalSum s;
        s.units_ = units;
        return s;
    }
    // The millionths a text adds: its leading number cut after the sixth decimal, or 0 (no
    // number, or one beyond ±10^15).
    static Units unitsOf(std::string_view text);

    void add(std::string_view text) { units_ += unitsOf(text); }
    void add(const Text& text) {
        if (text) add(std::string_view(*text));
    }
    void add(const TextView& text) {
        if (text) add(*text);
    }
    DecimalSum& operator+=(const DecimalSum& b) {
        units_ += b.units_;
        return *this;
    }
    friend DecimalSum operator-(const DecimalSum& a, const DecimalSum& b) {
        return ofUnits(a.units_ - b.units_);
    }
    friend bool operator==(const DecimalSum&, const DecimalSum&) = default;

    bool isPositive() const { return units_ > 0; }
    // "%.2f" of the exact value rounded half away from zero: "-1234.57". No "-0.00".
    std::string text() const;
    // The millionths as decimal digits with an optional "-": "-1234567800". Stored this way
    // the sum comes back exactly (ofUnitsText), whatever its size.
    std::string unitsText() const;
    // The sum of a unitsText(); absent for any other text.
    static std::optional<DecimalSum> ofUnitsText(std::string_view text);

  private:
    Units units_ = 0;
};
