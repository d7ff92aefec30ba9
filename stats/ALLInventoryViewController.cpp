#include "stats/ALLInventoryViewController.h"

#include "platform/Localisation.h"
#include "stats/OneProductViewController.h"
#include "storage/NumberText.h"

namespace {
float sumQuantities(const SUserCommodityOrderDB::List& lines) {
    float sum = 0;
    for (const auto& l : lines) sum += floatValue(l.orderItemQuantity);
    return sum;
}
}  // namespace

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
    categoryListArray = categoryListDB->findWithUid_limit(std::nullopt, 100000);
    categorysNameItemsArray.clear();
    userPurchaseCountsArray.clear();
    userSalesCountsArray.clear();
    userInventoryCountsArray.clear();
    for (const auto& product : categoryListArray) {
        const Text& key = product.productSubNameKey;
        // Counted by key: a product of the same name in another category has its own lines.
        const auto lines = userCommodityOrderDB->findWithSalesAndPurchaseNameUpdateKeyDateLike(key);
        const float sold = sumQuantities(
            userCommodityOrderDB->findWithOrderItemProductNameKey_findWithSalesAndPurchaseTags(
                key, "21"));
        const float purchased = sumQuantities(
            userCommodityOrderDB->findWithOrderItemProductNameKey_findWithSalesAndPurchaseTags(
                key, "11"));
        const float inventory = purchased - sold;
        categorysNameItemsArray.push_back(formatCount(static_cast<long>(lines.size())));
        userPurchaseCountsArray.push_back(formatAmount(purchased));
        userSalesCountsArray.push_back(formatAmount(sold));
        userInventoryCountsArray.push_back(formatAmount(inventory));
    }
}

void ALLInventoryViewController::reloadRows() {
    title = KL("KLInventoryStatistics") + "(" +
            formatCount(static_cast<long>(categoryListArray.size())) + ")";
    auto* table = get<TableView>("tableView");
    table->rows.clear();
    for (size_t i = 0; i < categoryListArray.size(); ++i) {
        const auto& p = categoryListArray[i];
        TableRow r;
        r.layout = "InventoryCell";
        r.add("itemsNameLbl", orEmpty(p.productSubName));
        r.add("itemsPurchaseCountsLbl", userPurchaseCountsArray[i]);
        r.add("itemsSalesCountsLbl", userSalesCountsArray[i]);
        r.add("itemsInventoryCountsLbl", userInventoryCountsArray[i]);
        r.add("itemsItemsLbl", KL("KLItems") + ":" + categorysNameItemsArray[i]);
        r.add("itemsRetailPriceValueLbl",
              KL("KLPrice") + ":" + orEmpty(p.productSubReferencePrice));
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
