#include "storage/DecimalSum.h"

#include <array>
#include <cstdint>

#include "storage/NumberText.h"

namespace {

using Magnitude = unsigned __int128;

constexpr long kDecimals = 6;       // millionths
constexpr long kHighestPlace = 15;  // the largest magnitude read is 10^15

constexpr std::array<Magnitude, 23> powersOfTen() {
    std::array<Magnitude, 23> p{};
    p[0] = 1;
    for (size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
    return p;
}
constexpr auto kPowerOfTen = powersOfTen();
constexpr Magnitude kLimit = kPowerOfTen[kHighestPlace + kDecimals];

// Decimal digits of a magnitude, most significant first.
std::string digitsOf(Magnitude m) {
    if (m <= UINT64_MAX) return std::to_string(static_cast<uint64_t>(m));
    return digitsOf(m / 10) + static_cast<char>('0' + static_cast<int>(m % 10));
}

}  // namespace

DecimalSum::Units DecimalSum::unitsOf(std::string_view text) {
    const LeadingNumber n = scanLeadingNumber(text);
    // The place of the digit at hand: it is worth digit × 10^place.
    long place = static_cast<long>(n.intDigits) - 1 + n.exponent;
    Magnitude units = 0;
    for (char c : n.mantissa) {
        if (c == '.') continue;
        if (place < -kDecimals) break;
        const int digit = c - '0';
        if (digit != 0 && place > kHighestPlace) return 0;
        units = units * 10 + static_cast<unsigned>(digit);
        --place;
    }
    // `place` is now that of the first digit not taken; scale the taken ones to millionths.
    if (units != 0) units *= kPowerOfTen[static_cast<size_t>(place + 1 + kDecimals)];
    if (units > kLimit) return 0;
    const Units value = static_cast<Units>(units);
    return n.negative ? -value : value;
}

std::string DecimalSum::text() const {
    const Magnitude magnitude =
        units_ < 0 ? static_cast<Magnitude>(-units_) : static_cast<Magnitude>(units_);
    const Magnitude unitsPerCent = kPowerOfTen[kDecimals - 2];
    const Magnitude cents = (magnitude + unitsPerCent / 2) / unitsPerCent;
    std::string digits = digitsOf(cents);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    digits.insert(digits.size() - 2, 1, '.');
    if (units_ < 0 && cents != 0) digits.insert(0, 1, '-');
    return digits;
}

std::string DecimalSum::unitsText() const {
    const Magnitude magnitude =
        units_ < 0 ? static_cast<Magnitude>(-units_) : static_cast<Magnitude>(units_);
    return (units_ < 0 ? "-" : "") + digitsOf(magnitude);
}

std::optional<DecimalSum> DecimalSum::ofUnitsText(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    // 38 digits stay below the 128-bit limit.
    if (text.empty() || text.size() > 38) return std::nullopt;
    Magnitude m = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        m = m * 10 + static_cast<unsigned>(c - '0');
    }
    const Units units = static_cast<Units>(m);
    return ofUnits(negative ? -units : units);
}
