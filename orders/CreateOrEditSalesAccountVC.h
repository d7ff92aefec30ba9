#pragma once
// The order editor: records a new purchase or sale, changes an existing one or deletes it
// with all its lines. The lines themselves are written by the product picker and the line
// editor under the current order key; this screen re-reads them at every appearance and
// sums them into the header when it saves.
#include <memory>
#include <string>
#include <vector>

#include "storage/DecimalSum.h"
#include "storage/Records.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "toolkit/DatePicker.h"
#include "toolkit/Screen.h"

class CreateOrEditSalesAccountVC : public Screen {
  public:
    CreateOrEditSalesAccountVC();
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;

    // Opening parameters, set by the journal before the push. "1" selects edit mode.
    Text createItemUpdateTag;
    Text createItemUid;
    Text createItemPrimaryKey;
    Text createItemSupplierOrCustomerName;
    // The partner key saved with the order; replaced when a partner is chosen.
    Text createItemSupplierOrCustomerNameKey;
    Text createItemSalesAndPurchaseType;
    Text createItemSalesAndPurchaseTags;
    Text createItemOrderName;
    Text createItemTotalCounts;
    Text createItemTotalEntrys;
    Text createItemTotalAmount;
    Text createItemNotes;
    Text createItemWeekInYearTime;
    Text createItemWeekTime;
    Text createItemDateTime;
    Text createItemMinutesTime;
    Text createItemYearStr;
    Text createItemMonthStr;
    Text createItemDayStr;

    // Process-wide: one pair of line sums and one pending note for the whole program. Only
    // one editor is on the stack at a time; it recomputes the sums whenever it is shown and
    // the notes screen leaves its text here for it.
    static inline DecimalSum lineQuantitySum;
    static inline DecimalSum lineAmountSum;
    static inline std::string pendingNote;

    // Filled at every appearance.
    std::vector<SUserCommodityOrder> orderItems;
    // The lines could not be read whole: no lines and no total are shown, and save refuses
    // to store totals of some of them.
    bool linesUnread = false;
    std::unique_ptr<SUserCommodityDB> userCommodityDB;
    std::unique_ptr<SUserCommodityOrderDB> userCommodityOrderDB;
    SUserCommodity userCommodity;
    SUserCommodityOrder userCommodityOrder;

    bool isEditMode() const { return createItemUpdateTag && *createItemUpdateTag == "1"; }

  private:
    void disCommodityKeyBoardEvent();
    void topShowSupplierOrCustomerListEvent();
    void tapJumpProductNameSelectEvent();
    void tapJumpNoteSelectEvent();
    void openOrderItem(int row);
    void selectSalesDatePanelEvent();
    void hideDatePanelEvent();
    void datePickerValueChanged(DatePicker& picker);
    void saveToDoneEvent();
    void backEvent();
    void deleteProductCurrentItemsEvent();
    void didClickOnButtonIndex(int index);
    void reloadOrderItems();
};
