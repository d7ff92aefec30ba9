#include "app/AppScreens.h"

#include "app/MoreViewController.h"
#include "catalogue/AddProductSubViewController.h"
#include "catalogue/AddProductTypeViewController.h"
#include "catalogue/AddSupplierCustomersVC.h"
#include "catalogue/CustomersSettingsVC.h"
#include "catalogue/ProductListViewController.h"
#include "catalogue/ProductSubItemListViewController.h"
#include "catalogue/SupplierSettingsVC.h"
#include "exchange/AboutViewController.h"
#include "exchange/BackupViewController.h"
#include "exchange/MailSettingsViewController.h"
#include "orders/CreateOrEditSalesAccountVC.h"
#include "orders/EditOrderItemsVC.h"
#include "orders/INItemsViewController.h"
#include "orders/NoteSelectListView.h"
#include "orders/OUTItemsViewController.h"
#include "orders/SelectProductsBackViewController.h"
#include "stats/ALLInventoryViewController.h"
#include "stats/HomeStatisticsViewController.h"
#include "stats/InventoryProfitCostListViewController.h"
#include "stats/OneProductViewController.h"

std::unique_ptr<Screen> makeAppScreen(const std::string& className) {
    if (className == "InventoryProfitCostListViewController")
        return std::make_unique<InventoryProfitCostListViewController>();
    if (className == "MoreViewController") return std::make_unique<MoreViewController>();
    if (className == "AboutViewController") return std::make_unique<AboutViewController>();
    if (className == "BackupViewController") return std::make_unique<BackupViewController>();
    if (className == "MailSettingsViewController")
        return std::make_unique<MailSettingsViewController>();
    if (className == "ALLInventoryViewController")
        return std::make_unique<ALLInventoryViewController>();
    if (className == "OneProductViewController")
        return std::make_unique<OneProductViewController>();
    if (className == "HomeStatisticsViewController")
        return std::make_unique<HomeStatisticsViewController>();
    if (className == "OUTItemsViewController") return std::make_unique<OUTItemsViewController>();
    if (className == "INItemsViewController") return std::make_unique<INItemsViewController>();
    if (className == "CreateOrEditSalesAccountVC")
        return std::make_unique<CreateOrEditSalesAccountVC>();
    if (className == "SelectProductsBackViewController")
        return std::make_unique<SelectProductsBackViewController>();
    if (className == "EditOrderItemsVC") return std::make_unique<EditOrderItemsVC>();
    if (className == "NoteSelectListView") return std::make_unique<NoteSelectListView>();
    if (className == "ProductListViewController")
        return std::make_unique<ProductListViewController>();
    if (className == "AddProductTypeViewController")
        return std::make_unique<AddProductTypeViewController>();
    if (className == "ProductSubItemListViewController")
        return std::make_unique<ProductSubItemListViewController>();
    if (className == "AddProductSubViewController")
        return std::make_unique<AddProductSubViewController>();
    if (className == "CustomersSettingsVC") return std::make_unique<CustomersSettingsVC>();
    if (className == "SupplierSettingsVC") return std::make_unique<SupplierSettingsVC>();
    if (className == "AddSupplierCustomersVC") return std::make_unique<AddSupplierCustomersVC>();
    return nullptr;
}
