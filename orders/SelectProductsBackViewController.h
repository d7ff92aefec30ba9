#pragma once
// The product picker: the categories beside the chosen category's products; choosing a product
// stores one order line under the current order key at once. The search field above both
// lists finds products by name or model across all categories; choosing a result picks it
// as a product row does.
#include <memory>
#include <vector>

#include "storage/Records.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SProductsNameTypeDB.h"
#include "toolkit/ListSearch.h"
#include "toolkit/Screen.h"

class SelectProductsBackViewController : public Screen {
  public:
    SelectProductsBackViewController();
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;

    // The line a product row makes, from the product and the order hand-over values.
    static SUserCommodityOrder lineForProduct(const SProductsNameSub& product);

    std::vector<SProductsNameType> productTypes;
    std::vector<SProductsNameSub> productSubs;  // the chosen category's
    std::unique_ptr<SProductsNameTypeDB> productsNameTypeDB;
    std::unique_ptr<SProductsNameSubDB> productsNameSubDB;

  private:
    void showProductTypes();
    void showProductSubs();
    void selectProductType(int row);
    void selectProductSub(int row);
    void buttonPressedAddProductSub(int row);
    void addProductTypeEvent();
    // Filters every product by the search field; reads them at the first search after each
    // appearance, so that products added meanwhile are found.
    void searchProducts();
    const std::string& searchText() const;

    Text chosenTypeKey_;  // the category chosen last: marked while no search runs
    std::vector<SProductsNameSub> allProducts_;
    bool allProductsRead_ = false;
    ListSearch productSearch_;  // over allProducts_; while it filters, it fills the product list
};
