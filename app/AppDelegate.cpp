#include "app/AppDelegate.h"

#include <iostream>
#include <thread>

#include "app/AppScreens.h"
#include "exchange/BackupViewController.h"
#include "orders/OrderInProgress.h"
#include "platform/DocumentsDirectory.h"
#include "platform/InstanceLock.h"
#include "platform/Localisation.h"
#include "platform/MailComposer.h"
#include "platform/UserDefaults.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/LedgerIndexes.h"
#include "storage/LedgerTotals.h"
#include "storage/SDBManager.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SProductsNameTypeDB.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "storage/UniqueKeys.h"
#include "toolkit/ScreenFactory.h"

namespace {

// The data folder's lock, held from start-up until the process ends.
std::unique_ptr<InstanceLock>& instanceLock() {
    static std::unique_ptr<InstanceLock> lock;
    return lock;
}

// Whether this process found its ledger damaged (and opened it read-only).
bool& ledgerDamaged() {
    static bool damaged = false;
    return damaged;
}

// How long a second start waits for the first one to publish its address.
constexpr auto kAddressPatience = std::chrono::seconds(20);

std::string refusal(SDBManager::LedgerCheck check) {
    switch (check) {
        case SDBManager::LedgerCheck::InUse:
            return "it is in use by another program. Close that program and start again.";
        case SDBManager::LedgerCheck::NotALedger:
            return "it is not a ledger database.";
        case SDBManager::LedgerCheck::CannotWrite:
            return "it cannot be written.";
        default:
            return "";
    }
}

}  // namespace

bool AppDelegate::prepareEnvironment(const Options& options, std::string* error,
                                     std::string* runningAddress) {
    auto fail = [error](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    const std::string dir = DocumentsDirectory::resolve(
        options.dataDir.empty() ? std::nullopt : std::optional<std::string>(options.dataDir));
    std::string why;
    if (!DocumentsDirectory::ensure(dir, &why))
        return fail("Cannot use the data folder " + dir + ": " + why);

    // A folder this process held before is handed over cleanly.
    endInstance();
    // One instance per folder: a second start hands the user over to the first one.
    auto& lock = instanceLock();
    const auto deadline = std::chrono::steady_clock::now() + kAddressPatience;
    for (;;) {
        lock = std::make_unique<InstanceLock>(dir);
        if (lock->state() == InstanceLock::State::Owned) break;
        if (lock->state() == InstanceLock::State::Failed) {
            const std::string cause = lock->error();
            lock.reset();
            return fail("Cannot use the data folder " + dir + ": " + cause);
        }
        const auto address = lock->runningAddress();
        lock.reset();
        if (address) {
            if (runningAddress) *runningAddress = *address;
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return fail("Another instance is starting on the data folder " + dir +
                        " and has not given its address yet; try again.");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    DocumentsDirectory::setPath(dir);
    Localisation::select(options.language);
    UserDefaults::resetStandardUserDefaults();
    SDBManager::close();
    // An empty-looking ledger would read to the user as lost data: refuse to go on. After
    // an unclean exit the pages are checked first; a damaged ledger is only read.
    const std::string path = dir + "/voice.sqlite";
    auto check =
        SDBManager::checkLedger(path, lock->previousRunEndedUncleanly(), options.ledgerWait);
    ledgerDamaged() = check == SDBManager::LedgerCheck::Damaged;
    if (check == SDBManager::LedgerCheck::Sound || check == SDBManager::LedgerCheck::Damaged) {
        auto& manager =
            ledgerDamaged() ? SDBManager::openReadOnly() : SDBManager::defaultDBManager();
        if (manager.isOpen()) return true;
        check = SDBManager::LedgerCheck::CannotWrite;
    }
    SDBManager::close();
    // The checks of an unclean exit are still to be made by the next start.
    if (!lock->previousRunEndedUncleanly()) lock->markCleanExit();
    lock.reset();
    return fail("Cannot open the ledger " + path + ": " + refusal(check) +
                " The file was left untouched.");
}

bool AppDelegate::previousRunEndedUncleanly() {
    return instanceLock() && instanceLock()->previousRunEndedUncleanly();
}

void AppDelegate::publishAddress(const std::string& url) {
    if (instanceLock()) instanceLock()->publishAddress(url);
}

void AppDelegate::endInstance() {
    SDBManager::close();
    // A damaged ledger keeps the mark of an unclean exit: every start checks it again, and
    // none writes into it, until the file is replaced.
    if (instanceLock() && !ledgerDamaged()) instanceLock()->markCleanExit();
    instanceLock().reset();
}

AppDelegate::AppDelegate() {
    installScreenMaker(makeAppScreen);
}

AppDelegate::~AppDelegate() {
    if (Navigator::shared() == &navigator_) Navigator::setShared(nullptr);
    BackupViewController::install({});
}

bool AppDelegate::application_didFinishLaunchingWithOptions() {
    // A damaged ledger is only read: nothing is added to it, and every screen says so.
    const bool damaged = SDBManager::defaultDBManager().readOnly();
    if (!damaged) {
        prepareLedger();
        repairAfterAnUnfinishedRun();
    }

    auto& defaults = UserDefaults::standardUserDefaults();
    const Text pattern = defaults.stringForKey("yyyy/MM/dd");
    if (!pattern || pattern->empty()) {
        defaults.setObject_forKey("yyyy/MM/dd", "yyyy/MM/dd");
        defaults.synchronize();
    }

    Navigator::setShared(&navigator_);
    // A damaged ledger is mended by a restore: its banner leads to the backups.
    if (damaged)
        navigator_.setBanner(KL("KLLedgerDamaged"), "showBackupsEvent", [this] { showBackups(); });
    else
        navigator_.setBanner("");
    navigator_.setRoot(createScreen("InventoryProfitCostListViewController"));
    BackupViewController::install([this] { ledgerReplaced(); });
    return true;
}

void AppDelegate::prepareLedger() {
    SUserCommodityDB().createCommodDataBase();
    SUserCommodityOrderDB().createUserCommodityOrderDataBase();
    SProductsNameTypeDB().createProductsNameTypeDataBase();
    SProductsNameSubDB().createProductNameDataBase();
    SSupplierOrCustomersDB().createSupplierOrCustomersDataBase();
    // After the tables, so that a ledger made before the indexes existed gains them.
    if (const auto& db = SDBManager::defaultDBManager().dataBase()) createLedgerIndexes(*db);
    // Totals in step with the rows, whoever wrote the file since the last run.
    LedgerTotals().prepare();
    defAddDefaultSupplierAndCustomerItem();
}

void AppDelegate::startAutomaticBackup() {
    if (!SDBManager::defaultDBManager().readOnly())
        BackupViewController::startBackup(LedgerBackup::Kind::Automatic);
}

void AppDelegate::ledgerReplaced() {
    ledgerDamaged() = false;
    SDBManager::close();  // opened again, for writing, at its next use
    prepareLedger();
    navigator_.setBanner("");
    navigator_.setRoot(createScreen("InventoryProfitCostListViewController"));
}

void AppDelegate::showBackups() {
    if (navigator_.top() && navigator_.top()->className() == "BackupViewController") return;
    if (auto s = createScreen("BackupViewController"))
        navigator_.pushViewController(std::move(s), true);
}

void AppDelegate::defAddDefaultSupplierAndCustomerItem() {
    const std::pair<const char*, const char*> kinds[] = {{"000", "KLDefaultSupplier"},
                                                         {"111", "KLDefaultCustomer"}};
    for (const auto& [tag, nameKey] : kinds) {
        // A list that could not be read says nothing about whether the kind is missing.
        SSupplierOrCustomersDB partners;
        if (!partners.findWithSupplierOrCustomersTagsLike(tag).empty() || partners.readFailed())
            continue;
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
    const int temporaries = UserDefaults::standardUserDefaults().removeLeftoverTemporaryFiles() +
                            MailSettings::removeLeftoverTemporaryFiles();
    const auto repairs = OrderInProgress::repairUnfinishedOrder();
    if (temporaries > 0)
        std::cerr << "marrowkeeper: removed " << temporaries
                  << " temporary settings file(s) left by an interrupted write\n";
    if (repairs.found)
        std::cerr << "marrowkeeper: the last run ended with an order open: "
                  << repairs.ordersRepaired << " order(s) brought in line with their lines, "
                  << repairs.ghostLinesRemoved << " ghost line(s) removed\n";
}
