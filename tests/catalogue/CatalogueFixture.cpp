#include "tests/catalogue/CatalogueFixture.h"

#include "storage/SDBManager.h"

void CatalogueHarness::openCategories() {
    start();
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_EQ(top()->className(), "ProductListViewController");
}

void CatalogueHarness::openPartners(const std::string& kind) {
    start();
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    ASSERT_TRUE(tap(kind == "111" ? "jumpCustomersEvent" : "jumpSupplierEvent"));
}

void CatalogueHarness::addCategory(const std::string& name) {
    ASSERT_TRUE(tap("addProductEvent"));
    ASSERT_TRUE(setText("productNameText", name));
    ASSERT_TRUE(tap("completeEvent"));
}

void CatalogueHarness::addProduct(const std::string& name, const std::string& price,
                                  const std::string& unit, const std::string& model,
                                  const std::string& qty) {
    ASSERT_TRUE(tap("addProductSubItemEvent"));
    ASSERT_TRUE(setText("productNameText", name));
    ASSERT_TRUE(setText("productModelText", model));
    typeCharByChar("referencePriceText", price);
    ASSERT_TRUE(setText("productQtyText", qty));
    ASSERT_TRUE(setText("productUnitsText", unit));
    ASSERT_TRUE(tap("completeEvent"));
}

void CatalogueHarness::addPartner(const std::string& name, const std::string& tel,
                                  const std::string& email, const std::string& notes) {
    ASSERT_TRUE(tap("addCompanyEvent"));
    ASSERT_TRUE(setText("showNameText", name));
    ASSERT_TRUE(setText("showTelText", tel));
    ASSERT_TRUE(setText("showEmailText", email));
    ASSERT_TRUE(setText("showNotesText", notes));
    ASSERT_TRUE(tap("completeOrEditEvent"));
}

void CatalogueHarness::typeCharByChar(const std::string& fieldId, const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        size_t len = 1;
        while (i + len < text.size() && (static_cast<unsigned char>(text[i + len]) & 0xC0) == 0x80)
            ++len;
        ASSERT_TRUE(typeAtEnd(fieldId, text.substr(i, len)));
        i += len;
    }
}

std::string CatalogueHarness::cell(int row, const std::string& field, const std::string& table) {
    auto* t = top()->get<TableView>(table);
    if (!t || row < 0 || row >= static_cast<int>(t->rows.size())) return "<no row>";
    auto* f = t->rows[row].field(field);
    return f ? f->text : "<no field " + field + ">";
}

size_t CatalogueHarness::rowCount(const std::string& table) {
    auto* t = top()->get<TableView>(table);
    return t ? t->rows.size() : 0;
}

int CatalogueHarness::shakes(const std::string& fieldId) {
    auto* f = top()->get<TextField>(fieldId);
    return f ? f->shakeCount : -1;
}

const Toast* CatalogueHarness::lastToast() {
    const auto& toasts = top()->toasts();
    return toasts.empty() ? nullptr : &toasts.back();
}

void CatalogueHarness::makeStoreReadOnly() {
    ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate("PRAGMA query_only = ON"));
}

SUserCommodity CatalogueHarness::orderHeader(const std::string& orderKey,
                                             const std::string& partnerKey, const std::string& kind,
                                             const std::string& amount) {
    SUserCommodity h;
    h.orderPrimaryKeyDate = orderKey;
    h.orderSupplierOrCustomerNameKey = partnerKey;
    h.orderSalesAndPurchaseTags = kind;
    h.orderSalesTagOrPurchaseTag = kind == "21" ? "111" : "000";
    h.orderTotalAmount = amount;
    h.years = "2015";
    h.months = "5";
    h.days = "9";
    return h;
}

SUserCommodityOrder CatalogueHarness::orderLine(const std::string& orderKey,
                                                const std::string& productKey,
                                                const std::string& kind, const std::string& qty) {
    SUserCommodityOrder l;
    l.orderItemPrimaryKeyDate = orderKey;
    l.orderItemProductNameKey = productKey;
    l.orderItemSalesAndPurchaseTags = kind;
    l.orderItemQuantity = qty;
    return l;
}
