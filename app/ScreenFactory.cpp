#include "app/ScreenFactory.h"

#include "app/MoreViewController.h"
#include "catalogue/AddProductSubViewController.h"
#include "catalogue/AddProductTypeViewController.h"
#include "catalogue/AddSupplierCustomersVC.h"
#include "catalogue/CustomersSettingsVC.h"
#include "catalogue/ProductListViewController.h"
#include "catalogue/ProductSubItemListViewController.h"
#include "catalogue/SupplierSettingsVC.h"
#include "stats/InventoryProfitCostListViewController.h"

std::unique_ptr<Screen> createScreen(const std::string& className) {
    if (className == "InventoryProfitCostListViewController")
        return std::make_unique<InventoryProfitCostListViewController>();
    if (className == "MoreViewController") return std::make_unique<MoreViewController>();
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
