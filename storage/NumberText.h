#pragma once
// Numbers stored as text, read and written independent of the process locale.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Text.h"

// The leading decimal number of a text: after optional white space, a sign, digits, a point
// and digits (at least one digit in all), then an exponent when a digit follows the 'e' and
// its sign. No hex, inf or nan, and a comma is not a point. Views into the scanned text.
struct LeadingNumber {
    bool negative = false;
    std::string_view mantissa;  // digits and point as written; empty when there is no number
    std::string_view number;    // the mantissa with its exponent, without the sign
    size_t intDigits = 0;       // digits before the point
    long exponent = 0;          // beyond ±99999 only its order of magnitude is kept
};
LeadingNumber scanLeadingNumber(std::string_view text);

// The leading decimal number as single precision; 0 when the text has none. "12kg" → 12.
float floatValue(const std::string& text);
float floatValue(const Text& text);
float floatValue(std::string_view text);
float floatValue(const TextView& text);
// The leading integer (optional white space and sign, digits); 0 when none; clamps to int.
int intValue(const std::string& text);
int intValue(const Text& text);
// "%.2f" of a single-precision value widened to double.
std::string formatAmount(float value);
std::string formatAmount(double value);
// "%lu": the value as an unsigned long (a negative value wraps as the C format does).
std::string formatCount(long value);
// "%.1f"
std::string formatOneDecimal(double value);

// The typing filter of decimal fields, judging the text the change would produce: replacing
// `length` code points of `current` at `location` with `replacement` is accepted when the
// result is ASCII digits with at most one point, not first, at most 12 digits before it and
// at most `decimals` after it. A paste or a replaced selection is accepted or refused whole.
// Deleting is always accepted, so a value stored with more decimals can be corrected.
bool acceptsDecimalTyping(const std::string& current, long location, long length,
                          const std::string& replacement, long decimals);
