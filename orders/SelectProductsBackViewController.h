#pragma once
// The product picker: categories, then the chosen category's products; choosing a product
// stores one order line under the current order key at once.
#include <memory>
#include <vector>

#include "storage/Records.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SProductsNameTypeDB.h"
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
    std::vector<SProductsNameSub> productSubs;
    std::unique_ptr<SProductsNameTypeDB> productsNameTypeDB;
    std::unique_ptr<SProductsNameSubDB> productsNameSubDB;

  private:
    void showProductTypes();
    void showProductSubs();
    void selectProductType(int row);
    void selectProductSub(int row);
    void buttonPressedAddProductSub(int row);
    void addProductTypeEvent();
};
