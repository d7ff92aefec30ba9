#pragma once
// The five record kinds: plain values whose every field is an optional text.
// Each lists its columns in table order so the stores can map rows and build statements.
#include <array>
#include <string_view>

#include "platform/Text.h"

template <class R>
struct Column {
    std::string_view name;
    Text R::*field;
};

// category
struct SProductsNameType {
    Text productsTypeUid;
    Text productsTypePrimaryKey;
    Text productsTypeName;
    Text productsTypeNameKey;
    Text productsTypeIndex;

    static constexpr std::string_view tableName = "SProductsNameType";
    static constexpr std::string_view uidColumn = "productsTypeUid";
    // Every column but the row id, in table order.
    static constexpr std::array<Column<SProductsNameType>, 4> columns() {
        return {{
            {"productsTypePrimaryKey", &SProductsNameType::productsTypePrimaryKey},
            {"productsTypeName", &SProductsNameType::productsTypeName},
            {"productsTypeNameKey", &SProductsNameType::productsTypeNameKey},
            {"productsTypeIndex", &SProductsNameType::productsTypeIndex},
        }};
    }
    bool operator==(const SProductsNameType&) const = default;
};

// product
struct SProductsNameSub {
    Text productSubUid;
    Text productPrimaryKey;
    Text productTypeName;
    Text productTypeNameKey;
    Text productSubName;
    Text productSubNameKey;
    Text productSubModel;
    Text productSubUnit;
    Text productSubReferencePrice;
    Text productSubInventoryQty;
    Text productSubQty;
    Text productSubPrice;
    Text productSubTotalAmount;
    Text productSubDate;
    Text productSubIndex;

    static constexpr std::string_view tableName = "SProductsNameSub";
    static constexpr std::string_view uidColumn = "productSubUid";
    // Every column but the row id, in table order.
    static constexpr std::array<Column<SProductsNameSub>, 14> columns() {
        return {{
            {"productPrimaryKey", &SProductsNameSub::productPrimaryKey},
            {"productTypeName", &SProductsNameSub::productTypeName},
            {"productTypeNameKey", &SProductsNameSub::productTypeNameKey},
            {"productSubName", &SProductsNameSub::productSubName},
            {"productSubNameKey", &SProductsNameSub::productSubNameKey},
            {"productSubModel", &SProductsNameSub::productSubModel},
            {"productSubUnit", &SProductsNameSub::productSubUnit},
            {"productSubReferencePrice", &SProductsNameSub::productSubReferencePrice},
            {"productSubInventoryQty", &SProductsNameSub::productSubInventoryQty},
            {"productSubQty", &SProductsNameSub::productSubQty},
            {"productSubPrice", &SProductsNameSub::productSubPrice},
            {"productSubTotalAmount", &SProductsNameSub::productSubTotalAmount},
            {"productSubDate", &SProductsNameSub::productSubDate},
            {"productSubIndex", &SProductsNameSub::productSubIndex},
        }};
    }
    bool operator==(const SProductsNameSub&) const = default;
};

// partner: supplier ("000") or customer ("111")
struct SSupplierOrCustomers {
    Text supplierOrCustomersUid;
    Text supplierOrCustomersName;
    Text supplierOrCustomersNameKey;
    Text supplierOrCustomersTags;
    Text supplierOrCustomersTelphone;
    Text supplierOrCustomersAddress;
    Text supplierOrCustomersNotes;
    Text supplierOrCustomersIndex;

    static constexpr std::string_view tableName = "SSupplierOrCustomers";
    static constexpr std::string_view uidColumn = "supplierOrCustomersUid";
    // Every column but the row id, in table order.
    static constexpr std::array<Column<SSupplierOrCustomers>, 7> columns() {
        return {{
            {"supplierOrCustomersName", &SSupplierOrCustomers::supplierOrCustomersName},
            {"supplierOrCustomersNameKey", &SSupplierOrCustomers::supplierOrCustomersNameKey},
            {"supplierOrCustomersTags", &SSupplierOrCustomers::supplierOrCustomersTags},
            {"supplierOrCustomersTelphone", &SSupplierOrCustomers::supplierOrCustomersTelphone},
            {"supplierOrCustomersAddress", &SSupplierOrCustomers::supplierOrCustomersAddress},
            {"supplierOrCustomersNotes", &SSupplierOrCustomers::supplierOrCustomersNotes},
            {"supplierOrCustomersIndex", &SSupplierOrCustomers::supplierOrCustomersIndex},
        }};
    }
    bool operator==(const SSupplierOrCustomers&) const = default;
};

// order header
struct SUserCommodity {
    Text uid;
    Text orderPrimaryKeyDate;
    Text orderSalesTagOrPurchaseTag;
    Text orderSupplierOrCustomerName;
    Text orderSupplierOrCustomerNameKey;
    Text orderSalesAndPurchaseType;
    Text orderSalesAndPurchaseTags;
    Text orderName;
    Text orderTotalCounts;
    Text orderTotalEntrys;
    Text orderTotalAmount;
    Text remarkNotes;
    Text recordeWeekInYearTime;
    Text recordeWeekTime;
    Text recordeDateTime;
    Text minutesTime;
    Text years;
    Text months;
    Text days;

    static constexpr std::string_view tableName = "SUserCommodity";
    static constexpr std::string_view uidColumn = "uid";
    // Every column but the row id, in table order.
    static constexpr std::array<Column<SUserCommodity>, 18> columns() {
        return {{
            {"orderPrimaryKeyDate", &SUserCommodity::orderPrimaryKeyDate},
            {"orderSalesTagOrPurchaseTag", &SUserCommodity::orderSalesTagOrPurchaseTag},
            {"orderSupplierOrCustomerName", &SUserCommodity::orderSupplierOrCustomerName},
            {"orderSupplierOrCustomerNameKey", &SUserCommodity::orderSupplierOrCustomerNameKey},
            {"orderSalesAndPurchaseType", &SUserCommodity::orderSalesAndPurchaseType},
            {"orderSalesAndPurchaseTags", &SUserCommodity::orderSalesAndPurchaseTags},
            {"orderName", &SUserCommodity::orderName},
            {"orderTotalCounts", &SUserCommodity::orderTotalCounts},
            {"orderTotalEntrys", &SUserCommodity::orderTotalEntrys},
            {"orderTotalAmount", &SUserCommodity::orderTotalAmount},
            {"remarkNotes", &SUserCommodity::remarkNotes},
            {"recordeWeekInYearTime", &SUserCommodity::recordeWeekInYearTime},
            {"recordeWeekTime", &SUserCommodity::recordeWeekTime},
            {"recordeDateTime", &SUserCommodity::recordeDateTime},
            {"minutesTime", &SUserCommodity::minutesTime},
            {"years", &SUserCommodity::years},
            {"months", &SUserCommodity::months},
            {"days", &SUserCommodity::days},
        }};
    }
    bool operator==(const SUserCommodity&) const = default;
};

// order line
struct SUserCommodityOrder {
    Text orderItemUid;
    Text orderItemPrimaryKeyDate;
    Text orderItemSalesAndPurchaseType;
    Text orderItemSalesAndPurchaseTags;
    Text orderItemProductTypeName;
    Text orderItemProductTypeNameKey;
    Text orderItemProductName;
    Text orderItemProductNameKey;
    Text orderItemModel;
    Text orderItemUnit;
    Text orderItemReferencePrice;
    Text orderItemInventoryQty;
    Text orderItemQuantity;
    Text orderItemUnitPrice;
    Text orderItemTotalAmount;
    Text orderItemDateTime;
    Text orderItemMinutesTime;
    Text orderItemWeekInYearTime;
    Text orderItemYears;
    Text orderItemMonths;
    Text orderItemDays;

    static constexpr std::string_view tableName = "SUserCommodityOrder";
    static constexpr std::string_view uidColumn = "orderItemUid";
    // Every column but the row id, in table order.
    static constexpr std::array<Column<SUserCommodityOrder>, 20> columns() {
        return {{
            {"orderItemPrimaryKeyDate", &SUserCommodityOrder::orderItemPrimaryKeyDate},
            {"orderItemSalesAndPurchaseType", &SUserCommodityOrder::orderItemSalesAndPurchaseType},
            {"orderItemSalesAndPurchaseTags", &SUserCommodityOrder::orderItemSalesAndPurchaseTags},
            {"orderItemProductTypeName", &SUserCommodityOrder::orderItemProductTypeName},
            {"orderItemProductTypeNameKey", &SUserCommodityOrder::orderItemProductTypeNameKey},
            {"orderItemProductName", &SUserCommodityOrder::orderItemProductName},
            {"orderItemProductNameKey", &SUserCommodityOrder::orderItemProductNameKey},
            {"orderItemModel", &SUserCommodityOrder::orderItemModel},
            {"orderItemUnit", &SUserCommodityOrder::orderItemUnit},
            {"orderItemReferencePrice", &SUserCommodityOrder::orderItemReferencePrice},
            {"orderItemInventoryQty", &SUserCommodityOrder::orderItemInventoryQty},
            {"orderItemQuantity", &SUserCommodityOrder::orderItemQuantity},
            {"orderItemUnitPrice", &SUserCommodityOrder::orderItemUnitPrice},
            {"orderItemTotalAmount", &SUserCommodityOrder::orderItemTotalAmount},
            {"orderItemDateTime", &SUserCommodityOrder::orderItemDateTime},
            {"orderItemMinutesTime", &SUserCommodityOrder::orderItemMinutesTime},
            {"orderItemWeekInYearTime", &SUserCommodityOrder::orderItemWeekInYearTime},
            {"orderItemYears", &SUserCommodityOrder::orderItemYears},
            {"orderItemMonths", &SUserCommodityOrder::orderItemMonths},
            {"orderItemDays", &SUserCommodityOrder::orderItemDays},
        }};
    }
    bool operator==(const SUserCommodityOrder&) const = default;
};

// Coded values.
namespace Codes {
inline constexpr const char* kSupplier = "000";
inline constexpr const char* kCustomer = "111";
inline constexpr const char* kPurchase = "11";
inline constexpr const char* kSale = "21";
inline constexpr const char* kPurchaseRead = "12";
inline constexpr const char* kSaleRead = "22";
}  // namespace Codes
