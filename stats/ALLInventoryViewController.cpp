#include "stats/ALLInventoryViewController.h"

#include "platform/Localisation.h"
#include "stats/OneProductViewController.h"
#include "storage/LedgerTotals.h"
#include "storage/NumberText.h"
#include "toolkit/Navigator.h"
#include "toolkit/SearchField.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

ALLInventoryViewController::ALLInventoryViewController() : Screen("ALLInventoryViewController") {}

void ALLInventoryViewController::viewDidLoad() {
    ScreenParts::addBackButton(*this);

    // Above the column titles, which stand over their columns.
    add<SearchField>(SearchField::kId).didChange = [this](TextField&) { reloadRows(); };
    add<Label>("showNameLbl").text = KL("KLName");
    add<Label>("showPurchaseLbl").text = KL("KLPurchase");
    add<Label>("showSalesLbl").text = KL("KLSales");
    add<Label>("showInventoryLbl").text = KL("KLInventory");

    auto& table = add<TableView>("tableView");
    table.rowHeight = 90;
    table.didSelectRow = [this](int row) { showProductHistory(row); };

    initAllDBData();
    ScreenParts::setListTitle(*this, KL("KLInventoryStatistics"), categoryListArray.size(),
                              readFailed_);
    reloadRows();
}

void ALLInventoryViewController::initAllDBData() {
    categoryListDB = std::make_unique<SProductsNameSubDB>();
    userCommodityOrderDB = std::make_unique<SUserCommodityOrderDB>();
    // Only what a row shows of each product: the list is read at every opening.
    categoryListArray = categoryListDB->findOverviewWithLimit(100000);
    rowSearch_.clear();
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
        rowSearch_.addRow({orEmpty(product.productSubName), orEmpty(product.productSubModel)});
    }
}

void ALLInventoryViewController::reloadRows() {
    auto* table = get<TableView>("tableView");
    table->rows.clear();
    const std::string itemsText = KL("KLItems") + ":", priceText = KL("KLPrice") + ":";
    for (size_t i : rowSearch_.filter(get<SearchField>(SearchField::kId)->text)) {
        const auto& p = categoryListArray[i];
        const std::string& stock = userInventoryCountsArray[i];
        TableRow r;
        r.layout = "InventoryCell";
        r.fields.reserve(6);
        r.add("itemsNameLbl", orEmpty(p.productSubName));
        r.add("itemsPurchaseCountsLbl", userPurchaseCountsArray[i]);
        r.add("itemsSalesCountsLbl", userSalesCountsArray[i]);
        // More sold than bought: a stock to look into.
        r.add("itemsInventoryCountsLbl", stock, stock.starts_with('-') ? "red" : "");
        r.add("itemsItemsLbl", itemsText + categorysNameItemsArray[i]);
        r.add("itemsRetailPriceValueLbl", priceText + orEmpty(p.productSubReferencePrice));
        table->rows.push_back(std::move(r));
    }
    table->emptyText = rowSearch_.emptyText();
    table->reloadData();
}

void ALLInventoryViewController::showProductHistory(int shownRow) {
    const long position = rowSearch_.positionOf(shownRow);
    if (position < 0) return;
    const auto row = static_cast<size_t>(position);
    const auto& p = categoryListArray[row];
    auto history = std::make_unique<OneProductViewController>();
    history->itemProductNameTitleStr = orEmpty(p.productSubName);
    history->itemProductNameUpdateKeyStr = p.productSubNameKey;
    history->itemProductPurchaseCountsStr = userPurchaseCountsArray[row];
    history->itemProductSalesCountsStr = userSalesCountsArray[row];
    history->itemProductInventoryCountsStr = userInventoryCountsArray[row];
    navigationController()->pushViewController(std::move(history), true);
}
