#include "orders/SelectProductsBackViewController.h"

#include "orders/LineAmount.h"
#include "orders/OrderHandOver.h"
#include "orders/OrderLineStamp.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/NumberText.h"
#include "storage/SUserCommodityOrderDB.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenFactory.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

SelectProductsBackViewController::SelectProductsBackViewController()
    : Screen("SelectProductsBackViewController") {}

void SelectProductsBackViewController::viewDidLoad() {
    title = KL("KLSelectProduct");

    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "addProductTypeBtn", "addProductTypeEvent", "nav_add");

    auto& types = add<TableView>("productTypeTableView");
    types.rowHeight = 50;
    types.didSelectRow = [this](int row) { selectProductType(row); };
    auto& subs = add<TableView>("productSubTableView");
    subs.rowHeight = 50;
    subs.didSelectRow = [this](int row) { selectProductSub(row); };

    on("addProductTypeEvent", [this](const ActionArgs&) { addProductTypeEvent(); });
    on("buttonPressedAddProductSub",
       [this](const ActionArgs& a) { buttonPressedAddProductSub(a.row); });
}

void SelectProductsBackViewController::viewWillAppear() {
    productsNameTypeDB = std::make_unique<SProductsNameTypeDB>();
    productsNameSubDB = std::make_unique<SProductsNameSubDB>();
    productTypes = productsNameTypeDB->findWithUid_limit(std::nullopt, 10000);
    showProductTypes();
    if (productsNameTypeDB->readFailed()) ScreenParts::reportFailedRead(*this);
}

void SelectProductsBackViewController::viewDidAppear() {
    // The product list keeps the last chosen category's products as loaded then.
    get<TableView>("productTypeTableView")->reloadData();
    get<TableView>("productSubTableView")->reloadData();
}

void SelectProductsBackViewController::showProductTypes() {
    auto* table = get<TableView>("productTypeTableView");
    table->rows.clear();
    for (const auto& type : productTypes) {
        TableRow row;
        row.layout = "SelectProductsCell";
        row.add("showProductNameFatCell", orEmpty(type.productsTypeName));
        row.button("showProductAddBtnCell", "buttonPressedAddProductSub", "add");
        row.add("showProductNameSubCell", "").fields.back().hidden = true;
        row.add("showProductPriceCell", "").fields.back().hidden = true;
        table->rows.push_back(std::move(row));
    }
    table->reloadData();
}

void SelectProductsBackViewController::showProductSubs() {
    auto* table = get<TableView>("productSubTableView");
    table->rows.clear();
    for (const auto& sub : productSubs) {
        TableRow row;
        row.layout = "SelectProductsCell";
        row.add("showProductNameFatCell", "").fields.back().hidden = true;
        row.add("showProductNameSubCell", orEmpty(sub.productSubName));
        row.add("showProductPriceCell", orEmpty(sub.productSubReferencePrice) + "//" +
                                            orEmpty(sub.productSubModel) + "//" +
                                            orEmpty(sub.productSubUnit));
        row.button("showProductAddBtnCell", "buttonPressedAddProductSub", "add")
            .fields.back()
            .hidden = true;
        table->rows.push_back(std::move(row));
    }
    table->reloadData();
}

void SelectProductsBackViewController::selectProductType(int row) {
    if (row < 0 || row >= static_cast<int>(productTypes.size())) return;
    productSubs =
        productsNameSubDB->findWithProductPrimaryKeyLike(productTypes[row].productsTypePrimaryKey);
    showProductSubs();
    if (productsNameSubDB->readFailed()) ScreenParts::reportFailedRead(*this);
}

SUserCommodityOrder SelectProductsBackViewController::lineForProduct(
    const SProductsNameSub& product) {
    auto& defaults = UserDefaults::standardUserDefaults();
    SUserCommodityOrder line;
    line.orderItemPrimaryKeyDate = defaults.stringForKey(OrderHandOver::kOrderKey);
    line.orderItemSalesAndPurchaseType = defaults.stringForKey(OrderHandOver::kOrderKindText);
    line.orderItemSalesAndPurchaseTags = defaults.stringForKey(OrderHandOver::kOrderKindCode);
    line.orderItemProductTypeName = product.productTypeName;
    line.orderItemProductTypeNameKey = product.productTypeNameKey;
    line.orderItemProductName = product.productSubName;
    line.orderItemProductNameKey = product.productSubNameKey;
    line.orderItemModel = product.productSubModel;
    line.orderItemUnit = product.productSubUnit;
    line.orderItemReferencePrice = product.productSubReferencePrice;
    line.orderItemInventoryQty = product.productSubInventoryQty;
    line.orderItemQuantity = product.productSubQty;
    line.orderItemUnitPrice = product.productSubReferencePrice;
    // The price the row shows times its quantity: the product's stored default line price
    // keeps the reference price of its creation and would disagree once that changed.
    line.orderItemTotalAmount = lineAmount(line.orderItemQuantity, line.orderItemUnitPrice);
    stampWithNow(line);
    return line;
}

void SelectProductsBackViewController::selectProductSub(int row) {
    if (row < 0 || row >= static_cast<int>(productSubs.size())) return;
    if (!SUserCommodityOrderDB().saveUserCommodityOrder(lineForProduct(productSubs[row]))) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}

void SelectProductsBackViewController::buttonPressedAddProductSub(int row) {
    if (row < 0 || row >= static_cast<int>(productTypes.size())) return;
    const SProductsNameType& type = productTypes[row];
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(orEmpty(type.productsTypePrimaryKey),
                              OrderHandOver::kCategoryPrimaryKey);
    defaults.setObject_forKey(orEmpty(type.productsTypeName), OrderHandOver::kCategoryName);
    defaults.setObject_forKey(orEmpty(type.productsTypeNameKey), OrderHandOver::kCategoryNameKey);
    defaults.synchronize();
    if (auto editor = createScreen("AddProductSubViewController"))
        navigationController()->pushViewController(std::move(editor), true);
}

void SelectProductsBackViewController::addProductTypeEvent() {
    if (auto editor = createScreen("AddProductTypeViewController"))
        navigationController()->pushViewController(std::move(editor), true);
}
