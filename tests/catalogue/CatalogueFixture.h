#pragma once
// Drives the catalogue and partner screens from the More screen, as the user reaches them.
#include <string>

#include "platform/Localisation.h"
#include "storage/Records.h"
#include "storage/SDBManager.h"
#include "tests/support/AppHarness.h"
#include "toolkit/Screen.h"
#include "toolkit/TableView.h"

class CatalogueHarness : public AppHarness {
  protected:
    // Start-up, More, then the category list (kind "") or the customer ("111") or supplier
    // ("000") list.
    void openList(const std::string& kind) {
        start();
        ASSERT_TRUE(tap("jumpMoreItems2Event"));
        ASSERT_TRUE(kind.empty() ? selectRow("tableView", 0)
                                 : tap(kind == "111" ? "jumpCustomersEvent" : "jumpSupplierEvent"));
    }
    void addCategory(const std::string& name) {
        ASSERT_TRUE(tap("addProductEvent"));
        ASSERT_TRUE(setText("productNameText", name));
        ASSERT_TRUE(tap("completeEvent"));
    }
    void addProduct(const std::string& name, const std::string& price,
                    const std::string& model = "", const std::string& qty = "") {
        ASSERT_TRUE(tap("addProductSubItemEvent"));
        ASSERT_TRUE(setText("productNameText", name));
        ASSERT_TRUE(setText("productModelText", model));
        ASSERT_TRUE(setText("referencePriceText", price));
        ASSERT_TRUE(setText("productQtyText", qty));
        ASSERT_TRUE(setText("productUnitsText", "pcs"));
        ASSERT_TRUE(tap("completeEvent"));
    }
    void addPartner(const std::string& name) {
        ASSERT_TRUE(tap("addCompanyEvent"));
        ASSERT_TRUE(setText("showNameText", name));
        ASSERT_TRUE(tap("completeOrEditEvent"));
    }
    std::string cell(size_t row, const std::string& field) {
        auto* t = top()->get<TableView>("tableView");
        auto* f = t && row < t->rows.size() ? t->rows[row].field(field) : nullptr;
        return f ? f->text : "<no " + field + " in row " + std::to_string(row) + ">";
    }
    int shakes(const std::string& fieldId) { return top()->get<TextField>(fieldId)->shakeCount; }
    void expectToast(const std::string& key, double seconds) {
        const auto& toasts = top()->toasts();
        ASSERT_FALSE(toasts.empty());
        EXPECT_EQ(toasts.back().text, KL(key));
        EXPECT_DOUBLE_EQ(toasts.back().seconds, seconds);
    }
    // Taps a save (or, with no field given, a delete confirmed in its sheet) that cannot be
    // written: the editor stays with the user's text and says the write failed.
    void expectEditorStays(const std::string& action, const std::string& editor,
                           const std::string& field = "", const std::string& text = "") {
        ASSERT_TRUE(tap(action));
        if (field.empty()) {
            ASSERT_TRUE(sheet(0));
        }
        ASSERT_EQ(top()->className(), editor);
        expectToast("KLOperationFailed", 1.5);
        if (!field.empty()) {
            EXPECT_EQ(fieldText(field), text);
        }
    }
    // Rows written straight into the ledger, and the rows of a table (and condition).
    static void exec(const std::string& sql) {
        ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate(sql));
    }
    static int count(const std::string& tableAndCondition) {
        auto rs = SDBManager::defaultDBManager().dataBase()->executeQuery("SELECT count(*) FROM " +
                                                                          tableAndCondition);
        return rs && rs->next() ? rs->intForColumnIndex(0) : -1;
    }
};
