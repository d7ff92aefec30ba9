#pragma once
// The line editor: changes the quantity and unit price of one order line, or deletes it.
// Every change is stored the moment the user confirms it.
#include <string>

#include "storage/Records.h"
#include "toolkit/Screen.h"

class EditOrderItemsVC : public Screen {
  public:
    EditOrderItemsVC();
    void viewDidLoad() override;

    // Inputs, set from the chosen line before the push. "1" fills the fields and offers delete.
    Text createUpdateTag;
    Text createUid;
    Text createPrimaryKeyDate;
    Text createSalesAndPurchaseType;
    Text createSalesAndPurchaseTags;
    Text createProductTypeName;
    Text createProductTypeNameKey;
    Text createProductName;
    Text createProductNameKey;
    Text createModel;
    Text createUnit;
    Text createReferencePrice;
    Text createInventoryQty;
    Text createQuantity;
    Text createUnitPrice;
    Text createTotalAmount;
    Text createDateTime;
    Text createMinutesTime;
    Text createWeekInYearTime;
    Text createYears;
    Text createMonths;
    Text createDays;

  private:
    void completeEvent();
    void disMissKeyBoardEvent();
    void deleteProductCurrentItemsEvent();
    void didClickOnButtonDeleteIndex(int index);
};
