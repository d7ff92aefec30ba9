#pragma once
// User defaults keys through which the journals hand an order to the editor, the product
// picker and the line editor. The key texts are historical values, kept for stored settings.
namespace OrderHandOver {
inline constexpr const char* kOrderKey = "20150509160250";             // current order key
inline constexpr const char* kOrderKindText = "SalesAndPurchaseType";  // text of KLSales/KLPurchase
inline constexpr const char* kOrderKindCode = "SalesAndPurchaseTags";  // "21" sale, "11" purchase
inline constexpr const char* kPartnerTag = "INAndOUTTags";  // "111" sales journal, "000" purchase
inline constexpr const char* kDatePattern = "yyyy/MM/dd";   // pattern used to read the order date
inline constexpr const char* kStepMonth = "5";              // month just reached by a step
inline constexpr const char* kStepYear = "2014";            // year just reached by a step
// The category for which the product editor creates a product.
inline constexpr const char* kCategoryPrimaryKey = "ProductsPrimaryKey";
inline constexpr const char* kCategoryName = "ProductsTypeName";
inline constexpr const char* kCategoryNameKey = "ProductsTypeNameKey";
}  // namespace OrderHandOver
