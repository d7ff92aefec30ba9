#include "stats/ALLInventoryViewController.h"

#include "platform/Localisation.h"
#include "stats/OneProductViewController.h"
#include "storage/LedgerTotals.h"
#include "storage/NumberText.h"
#include "toolkit/Navigator.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

ALLInventoryViewController::ALLInventoryViewController() : Screen("ALLInventoryViewController") {}

void ALLInventoryViewController::viewDidLoad() {
    auto& back = add<Button>("backBtn");
    back.action = "backEvent";
    back.style = "back";
    on("backEvent",
       [this](const ActionArgs&) { navigationController()->popViewControllerAnimated(true); });

    add<Label>("showNameLbl").text = KL("KLName");
    add<Label>("showPurchaseLbl").text = KL("KLPurchase");
    add<Label>("showSalesLbl").text = KL("KLSales");
    add<Label>("showInventoryLbl").text = KL("KLInventory");

    auto& table = add<TableView>("tableView");
    table.rowHeight = 90;
    table.didSelectRow = [this](int row) { showProductHistory(row); };

    initAllDBData();
    reloadRows();
}

void ALLInventoryViewController::initAllDBData() {
    categoryListDB = std::make_unique<SProductsNameSubDB>();
    userCommodityOrderDB = std::make_unique<SUserCommodityOrderDB>();
    // Only what a row shows of each product: the list is read at every opening.
    categoryListArray = categoryListDB->findOverviewWithLimit(100000);
    categorysNameItemsArray.clear();
    userPurchaseCountsArray.clear();
    userSalesCountsArray.clear();
    userInventoryCountsArray.clear();
    // Per key the line count (any kind) and the sold and purchased sums of the finds by key
    // (and kind), from the totals kept with each write instead of three finds per product.
    const auto byKey = LedgerTotals(userCommodityOrderDB->db()).products();
    if (!byKey || categoryListDB->readFailed()) {
        // Rows of some products, or sums of some lines, would pass for the whole stock.
        categoryListArray.clear();
        readFailed_ = true;
        return;
    }
    readFailed_ = false;
    const LedgerTotals::ProductLines none;
    for (const auto& product : categoryListArray) {
        // Counted by key: a product of the same name in another category has its own lines.
        const auto* found = &none;
        if (product.productSubNameKey) {
            auto it = byKey->find(*product.productSubNameKey);
            if (it != byKey->end()) found = &it->second;
        }
        categorysNameItemsArray.push_back(formatCount(found->lines));
        userPurchaseCountsArray.push_back(found->purchased.text());
        userSalesCountsArray.push_back(found->sold.text());
        userInventoryCountsArray.push_back((found->purchased - found->sold).text());
    }
}

void ALLInventoryViewController::reloadRows() {
    ScreenParts::setListTitle(*this, KL("KLInventoryStatistics"), categoryListArray.size(),
                              readFailed_);
    auto* table = get<TableView>("tableView");
    table->rows.clear();
    table->rows.reserve(categoryListArray.size());
    const std::string items = KL("KLItems") + ":", price = KL("KLPrice") + ":";
    for (size_t i = 0; i < categoryListArray.size(); ++i) {
        const auto& p = categoryListArray[i];
        TableRow r;
        r.layout = "InventoryCell";
        r.fields.reserve(6);
        r.add("itemsNameLbl", orEmpty(p.productSubName));
        r.add("itemsPurchaseCountsLbl", userPurchaseCountsArray[i]);
        r.add("itemsSalesCountsLbl", userSalesCountsArray[i]);
        r.add("itemsInventoryCountsLbl", userInventoryCountsArray[i]);
        r.add("itemsItemsLbl", items + categorysNameItemsArray[i]);
        r.add("itemsRetailPriceValueLbl", price + orEmpty(p.productSubReferencePrice));
        table->rows.push_back(std::move(r));
    }
    table->reloadData();
}

void ALLInventoryViewController::showProductHistory(int row) {
    if (row < 0 || row >= static_cast<int>(categoryListArray.size())) return;
    const auto& p = categoryListArray[row];
    auto history = std::make_unique<OneProductViewController>();
    history->itemProductNameTitleStr = orEmpty(p.productSubName);
    history->itemProductNameUpdateKeyStr = p.productSubNameKey;
    history->itemProductPurchaseCountsStr = userPurchaseCountsArray[row];
    history->itemProductSalesCountsStr = userSalesCountsArray[row];
    history->itemProductInventoryCountsStr = userInventoryCountsArray[row];
    navigationController()->pushViewController(std::move(history), true);
}
