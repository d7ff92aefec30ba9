#pragma once
// Drives the catalogue and partner screens from the More screen, as the user reaches them.
#include <string>

#include "platform/UI.h"
#include "storage/Records.h"
#include "tests/support/AppHarness.h"

class CatalogueHarness : public AppHarness {
  protected:
    // Start-up, then More, then the category list.
    void openCategories();
    // Start-up, then More, then the customer ("111") or supplier ("000") list.
    void openPartners(const std::string& kind);

    // From the category list: add a category through its editor.
    void addCategory(const std::string& name);
    // From a product list: add a product through its editor.
    void addProduct(const std::string& name, const std::string& price,
                    const std::string& unit = "pcs", const std::string& model = "",
                    const std::string& qty = "");
    // From a partner list: add a partner through its editor.
    void addPartner(const std::string& name, const std::string& tel = "",
                    const std::string& email = "", const std::string& notes = "");

    // Types a text one character (code point) at a time at the end of a field.
    void typeCharByChar(const std::string& fieldId, const std::string& text);

    // The text of a cell field of a table row on the top screen.
    std::string cell(int row, const std::string& field, const std::string& table = "tableView");
    size_t rowCount(const std::string& table = "tableView");
    int shakes(const std::string& fieldId);
    const Toast* lastToast();

    // Makes every later write fail while reads go on working.
    void makeStoreReadOnly();

    // An order header and a line written straight into the stores.
    static SUserCommodity orderHeader(const std::string& orderKey, const std::string& partnerKey,
                                      const std::string& kind, const std::string& amount);
    static SUserCommodityOrder orderLine(const std::string& orderKey, const std::string& productKey,
                                         const std::string& kind, const std::string& qty);
};
