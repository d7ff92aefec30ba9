#pragma once
// The category list: every category newest first, each opening its products; a row button
// opens the category for renaming or deleting, the add button adds one.
#include <memory>
#include <vector>

#include "storage/SProductsNameTypeDB.h"
#include "toolkit/Screen.h"
#include "toolkit/TableView.h"

class ProductListViewController : public Screen {
  public:
    ProductListViewController();
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;

    std::unique_ptr<SProductsNameTypeDB> productNameTypeModelDB;
    std::vector<SProductsNameType> productNameTypeListArray;

  private:
    void tableView_didSelectRowAtIndexPath(int row);
    void buttonPressedEditProductType(int row);
    TableView* table_ = nullptr;
};
