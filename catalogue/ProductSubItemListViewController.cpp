#include "catalogue/ProductSubItemListViewController.h"

#include "catalogue/AddProductSubViewController.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "toolkit/Navigator.h"
#include "widgets/ScreenParts.h"

ProductSubItemListViewController::ProductSubItemListViewController()
    : Screen("ProductSubItemListViewController") {}

void ProductSubItemListViewController::viewDidLoad() {
    title = KL("KLSubcategory");
    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "addProductSubItemBtn", "addProductSubItemEvent", "nav_add");

    table_ = &add<TableView>("tableView");
    table_->rowHeight = 60;
    table_->didSelectRow = [this](int row) { tableView_didSelectRowAtIndexPath(row); };

    on("addProductSubItemEvent", [this](const ActionArgs&) {
        navigationController()->pushViewController(std::make_unique<AddProductSubViewController>(),
                                                   true);
    });
}

void ProductSubItemListViewController::viewWillAppear() {
    productNameSubModelDB = std::make_unique<SProductsNameSubDB>();
    const Text category = UserDefaults::standardUserDefaults().stringForKey("ProductsPrimaryKey");
    productSubItemListArray = productNameSubModelDB->findWithProductPrimaryKeyLike(category);

    table_->rows.clear();
    for (const auto& product : productSubItemListArray) {
        TableRow row;
        row.layout = "ProductsSubItemCell";
        row.arrow = true;
        row.add("showProductsSubNameCell", orEmpty(product.productSubName));
        row.add("showReferencePriceCell", orEmpty(product.productSubReferencePrice) + " / " +
                                              orEmpty(product.productSubModel) + " / " +
                                              orEmpty(product.productSubUnit));
        table_->rows.push_back(std::move(row));
    }
    table_->reloadData();
    ScreenParts::setListTitle(*this, KL("KLSubcategory"), productSubItemListArray.size(),
                              productNameSubModelDB->readFailed());
}

void ProductSubItemListViewController::viewDidAppear() {
    table_->reloadData();
}

void ProductSubItemListViewController::tableView_didSelectRowAtIndexPath(int row) {
    if (row < 0 || row >= static_cast<int>(productSubItemListArray.size())) return;
    const auto& p = productSubItemListArray[row];
    auto editor = std::make_unique<AddProductSubViewController>();
    editor->createItemUpdateTag = "1";
    editor->createItemProductUid = p.productSubUid;
    editor->createItemProductName = p.productSubName;
    editor->createItemProductNameKey = p.productSubNameKey;
    editor->createItemModel = p.productSubModel;
    editor->createItemUnit = p.productSubUnit;
    editor->createItemReferencePrice = p.productSubReferencePrice;
    editor->createItemInventoryQty = p.productSubInventoryQty;
    editor->createItemQty = p.productSubQty;
    editor->createItemPrice = p.productSubPrice;
    editor->createItemTotalAmount = p.productSubTotalAmount;
    navigationController()->pushViewController(std::move(editor), true);
}
