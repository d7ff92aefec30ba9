#include "catalogue/ProductListViewController.h"

#include "catalogue/AddProductTypeViewController.h"
#include "catalogue/ProductSubItemListViewController.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "toolkit/Navigator.h"
#include "widgets/ScreenParts.h"

ProductListViewController::ProductListViewController() : Screen("ProductListViewController") {}

void ProductListViewController::viewDidLoad() {
    title = KL("KLProducts");
    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "addProductBtn", "addProductEvent", "nav_add");

    table_ = &add<TableView>("tableView");
    table_->rowHeight = 60;
    table_->didSelectRow = [this](int row) { tableView_didSelectRowAtIndexPath(row); };

    on("addProductEvent", [this](const ActionArgs&) {
        navigationController()->pushViewController(std::make_unique<AddProductTypeViewController>(),
                                                   true);
    });
    on("buttonPressedEditProductType",
       [this](const ActionArgs& a) { buttonPressedEditProductType(a.row); });
}

void ProductListViewController::viewWillAppear() {
    productNameTypeModelDB = std::make_unique<SProductsNameTypeDB>();
    productNameTypeListArray = productNameTypeModelDB->findWithUid_limit(std::nullopt, 10000);

    table_->rows.clear();
    for (const auto& category : productNameTypeListArray) {
        TableRow row;
        row.layout = "ProductsCell";
        row.add("showProductsNameCell", orEmpty(category.productsTypeName));
        row.button("showProductsEditCell", "buttonPressedEditProductType", "cell_edit");
        table_->rows.push_back(std::move(row));
    }
    table_->reloadData();
    ScreenParts::setListTitle(*this, KL("KLProducts"), productNameTypeListArray.size(),
                              productNameTypeModelDB->readFailed());
}

void ProductListViewController::viewDidAppear() {
    table_->reloadData();
}

void ProductListViewController::tableView_didSelectRowAtIndexPath(int row) {
    if (row < 0 || row >= static_cast<int>(productNameTypeListArray.size())) return;
    const auto& category = productNameTypeListArray[row];
    auto& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject_forKey(orEmpty(category.productsTypePrimaryKey), "ProductsPrimaryKey");
    defaults.setObject_forKey(orEmpty(category.productsTypeName), "ProductsTypeName");
    defaults.setObject_forKey(orEmpty(category.productsTypeNameKey), "ProductsTypeNameKey");
    defaults.synchronize();
    navigationController()->pushViewController(std::make_unique<ProductSubItemListViewController>(),
                                               true);
}

void ProductListViewController::buttonPressedEditProductType(int row) {
    if (row < 0 || row >= static_cast<int>(productNameTypeListArray.size())) return;
    const auto& category = productNameTypeListArray[row];
    auto editor = std::make_unique<AddProductTypeViewController>();
    editor->createItemUpdateTag = "1";
    editor->createItemProductUid = category.productsTypeUid;
    editor->createItemPrimaryKey = category.productsTypePrimaryKey;
    editor->createItemProductName = category.productsTypeName;
    editor->createItemProductNameKey = category.productsTypeNameKey;
    navigationController()->pushViewController(std::move(editor), true);
}
