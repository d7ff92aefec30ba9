#include "orders/EditOrderItemsVC.h"

#include "orders/LineAmount.h"
#include "orders/OrderHandOver.h"
#include "orders/OrderLineStamp.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/NumberText.h"
#include "storage/SUserCommodityOrderDB.h"
#include "toolkit/Navigator.h"
#include "widgets/ScreenParts.h"

namespace {
// The typing filters judge the text a change would leave (acceptsDecimalTyping).
constexpr long kQuantityDecimals = 3;
constexpr long kPriceDecimals = 2;
}  // namespace

EditOrderItemsVC::EditOrderItemsVC() : Screen("EditOrderItemsVC") {}

void EditOrderItemsVC::viewDidLoad() {
    title = KL("KLEditDetails");
    const bool update = createUpdateTag && *createUpdateTag == "1";

    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "completeBtn", "completeEvent", "nav_done");

    auto& name = add<Label>("showProductNameLbl");
    name.caption = KL("KLName");
    auto& model = add<Label>("showModelLbl");

    auto& quantity = add<TextField>("quantityText");
    quantity.caption = KL("KLQty");
    quantity.keyboard = "decimal";
    quantity.shouldChangeCharacters = [](TextField& f, long location, long length,
                                         const std::string& r) {
        return acceptsDecimalTyping(f.text, location, length, r, kQuantityDecimals);
    };
    quantity.onReturn = [this](TextField&) { disMissKeyBoardEvent(); };

    auto& price = add<TextField>("priceText");
    price.caption = KL("KLPrice");
    price.keyboard = "decimal";
    price.shouldChangeCharacters = [](TextField& f, long location, long length,
                                      const std::string& r) {
        return acceptsDecimalTyping(f.text, location, length, r, kPriceDecimals);
    };
    price.onReturn = [this](TextField&) { disMissKeyBoardEvent(); };

    if (update) {
        name.text = orEmpty(createProductName);
        model.text = orEmpty(createModel) + "," + orEmpty(createUnit);
        quantity.text = orEmpty(createQuantity);
        price.text = orEmpty(createUnitPrice);
        auto& del = add<Button>("deleteBtn");
        del.style = "delete";
        del.image = "bookmark_white_delete";
        del.action = "deleteProductCurrentItemsEvent";
        on("deleteProductCurrentItemsEvent",
           [this](const ActionArgs&) { deleteProductCurrentItemsEvent(); });
    }

    on("completeEvent", [this](const ActionArgs&) { completeEvent(); });
    on("disMissKeyBoardEvent", [this](const ActionArgs&) { disMissKeyBoardEvent(); });
    on("backgroundTap", [this](const ActionArgs&) { disMissKeyBoardEvent(); });
}

void EditOrderItemsVC::disMissKeyBoardEvent() {
    get<TextField>("quantityText")->resignFirstResponder();
    get<TextField>("priceText")->resignFirstResponder();
}

void EditOrderItemsVC::completeEvent() {
    disMissKeyBoardEvent();
    auto& defaults = UserDefaults::standardUserDefaults();
    const std::string quantity = get<TextField>("quantityText")->text;
    const std::string price = get<TextField>("priceText")->text;

    SUserCommodityOrder line;
    line.orderItemPrimaryKeyDate = defaults.stringForKey(OrderHandOver::kOrderKey);
    line.orderItemSalesAndPurchaseType = defaults.stringForKey(OrderHandOver::kOrderKindText);
    line.orderItemSalesAndPurchaseTags = defaults.stringForKey(OrderHandOver::kOrderKindCode);
    line.orderItemProductTypeName = createProductTypeName;
    line.orderItemProductTypeNameKey = createProductTypeNameKey;
    line.orderItemProductName = createProductName;
    line.orderItemProductNameKey = createProductNameKey;
    line.orderItemModel = createModel;
    line.orderItemUnit = createUnit;
    line.orderItemReferencePrice = createReferencePrice;
    line.orderItemInventoryQty = createInventoryQty;
    line.orderItemQuantity = quantity;
    line.orderItemUnitPrice = price;
    line.orderItemTotalAmount = lineAmount(quantity, price);
    stampWithNow(line);

    if (!SUserCommodityOrderDB().mergeWithSalesAndPurchase_changeUid(line, createUid)) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}

void EditOrderItemsVC::deleteProductCurrentItemsEvent() {
    disMissKeyBoardEvent();
    ActionSheet sheet;
    sheet.title = KL("KLDeleteItems") + "?";
    sheet.destructiveTitle = KL("KLDelete");
    sheet.cancelTitle = KL("KLCancel");
    sheet.onClick = [this](int index) { didClickOnButtonDeleteIndex(index); };
    showActionSheet(std::move(sheet));
}

void EditOrderItemsVC::didClickOnButtonDeleteIndex(int index) {
    if (index != 0) return;
    if (!SUserCommodityOrderDB().deleteSalesAndPurchaseWithUid(createUid)) {
        ScreenParts::reportFailedWrite(*this);
        return;
    }
    navigationController()->popViewControllerAnimated(true);
}
