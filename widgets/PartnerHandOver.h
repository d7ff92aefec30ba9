#pragma once
// User defaults keys through which a screen of another subject opens the partner editor
// and learns which partner it added (the order editor's "new customer" row).
namespace PartnerHandOver {
// The kind the partner editor adds or edits: "000" suppliers, "111" customers.
inline constexpr const char* kKind = "000";
// The key of the partner the editor added last; the opener removes it once read.
inline constexpr const char* kAddedPartnerKey = "AddedPartnerKey";
}  // namespace PartnerHandOver
