#include "app/AppDelegate.h"

#include <iostream>

#include "app/ScreenFactory.h"
#include "orders/OrderInProgress.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/LedgerIndexes.h"
#include "storage/SDBManager.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SProductsNameTypeDB.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "storage/UniqueKeys.h"

bool AppDelegate::prepareEnvironment(const Options& options, std::string* error) {
    const std::string dir = DocumentsDirectory::resolve(
        options.dataDir.empty() ? std::nullopt : std::optional<std::string>(options.dataDir));
    std::string why;
    if (!DocumentsDirectory::ensure(dir, &why)) {
        if (error) *error = "Cannot use the data folder " + dir + ": " + why;
        return false;
    }
    DocumentsDirectory::setPath(dir);
    Localisation::select(options.language);
    UserDefaults::resetStandardUserDefaults();
    SDBManager::close();
    // An empty-looking ledger would read to the user as lost data: refuse to go on.
    if (!SDBManager::defaultDBManager().isOpen()) {
        if (error)
            *error = "Cannot open the ledger " + SDBManager::defaultDBManager().name() +
                     ": it is not a ledger database or cannot be written. The file was left "
                     "untouched.";
        SDBManager::close();
        return false;
    }
    return true;
}

AppDelegate::~AppDelegate() {
    if (Navigator::shared() == &navigator_) Navigator::setShared(nullptr);
}

bool AppDelegate::application_didFinishLaunchingWithOptions() {
    SUserCommodityDB().createCommodDataBase();
    SUserCommodityOrderDB().createUserCommodityOrderDataBase();
    SProductsNameTypeDB().createProductsNameTypeDataBase();
    SProductsNameSubDB().createProductNameDataBase();
    SSupplierOrCustomersDB().createSupplierOrCustomersDataBase();
    // After the tables, so that a ledger made before the indexes existed gains them.
    if (const auto& db = SDBManager::defaultDBManager().dataBase()) createLedgerIndexes(*db);

    defAddDefaultSupplierAndCustomerItem();
    repairAfterAnUnfinishedRun();

    auto& defaults = UserDefaults::standardUserDefaults();
    const Text pattern = defaults.stringForKey("yyyy/MM/dd");
    if (!pattern || pattern->empty()) {
        defaults.setObject_forKey("yyyy/MM/dd", "yyyy/MM/dd");
        defaults.synchronize();
    }

    Navigator::setShared(&navigator_);
    navigator_.setRoot(createScreen("InventoryProfitCostListViewController"));
    return true;
}

void AppDelegate::defAddDefaultSupplierAndCustomerItem() {
    const std::pair<const char*, const char*> kinds[] = {{"000", "KLDefaultSupplier"},
                                                         {"111", "KLDefaultCustomer"}};
    for (const auto& [tag, nameKey] : kinds) {
        if (!SSupplierOrCustomersDB().findWithSupplierOrCustomersTagsLike(tag).empty()) continue;
        SSupplierOrCustomers partner;
        partner.supplierOrCustomersName = KL(nameKey);
        partner.supplierOrCustomersNameKey = UniqueKeys().newPartnerKey(KL(nameKey));
        partner.supplierOrCustomersTags = tag;
        partner.supplierOrCustomersTelphone = "-";
        partner.supplierOrCustomersAddress = "-";
        partner.supplierOrCustomersNotes = "-";
        partner.supplierOrCustomersIndex = ConstParameterAndMethod::getDateNowKeyFormatter();
        SSupplierOrCustomersDB().saveSupplierOrCustomers(partner);
    }
}

void AppDelegate::repairAfterAnUnfinishedRun() {
    // Both checks are cheap enough for every start: a directory listing and, only when the
    // last run left an order editor open, one order's lines.
    const int temporaries = UserDefaults::standardUserDefaults().removeLeftoverTemporaryFiles();
    const auto repairs = OrderInProgress::repairUnfinishedOrder();
    if (temporaries > 0)
        std::cerr << "marrowkeeper: removed " << temporaries
                  << " temporary settings file(s) left by an interrupted write\n";
    if (repairs.found)
        std::cerr << "marrowkeeper: the last run ended with an order open: "
                  << repairs.ordersRepaired << " order(s) brought in line with their lines, "
                  << repairs.ghostLinesRemoved << " ghost line(s) removed\n";
}
