// The backup screen driven through the navigator: a restore from a listed backup that brings
// back a deleted order onto a fresh dashboard, refused uploads, download and delete by row
// only, a failed backup told on the More screen, and a damaged ledger mended from the screen
// its banner leads to.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "exchange/BackupViewController.h"
#include "platform/DocumentsDirectory.h"
#include "platform/InstanceLock.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/SDBManager.h"
#include "storage/SUserCommodityDB.h"
#include "tests/support/AppHarness.h"
#include "toolkit/TableView.h"

namespace {

class BackupScreen : public AppHarness {
  protected:
    // Starts the app on a ledger of one order, with a manual backup of it, on the backups.
    void startWithABackup() {
        start();
        app_->startAutomaticBackup();  // not due on an empty ledger: none is listed below
        SUserCommodity order;
        order.orderPrimaryKeyDate = "20150509160250";
        ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(order));
        tap("jumpMoreItems2Event");
        selectRow("tableView", 3);
        ASSERT_TRUE(tap("backupNowEvent"));
        ASSERT_EQ(top()->lastToastText(), KL("KLBackupDone"));
    }
    // Sends `e` to the top screen, holding back the outcome of the work it starts (the next
    // event sent delivers it).
    bool startWork(const std::string& type, const std::string& action, int index = -1) {
        UIEvent e;
        e.type = type;
        e.action = action;
        e.index = index;
        return top()->handleEvent(e);
    }
    std::string cell(int row, int field) {
        return top()->get<TableView>("backupTableView")->rows.at(row).fields.at(field).text;
    }
    size_t orders() { return SUserCommodityDB().findWithUid_limit(std::nullopt, 9).size(); }
};

}  // namespace

TEST_F(BackupScreen, RestoreBringsBackADeletedOrderOnAFreshDashboardAndKeepsTheSettings) {
    startWithABackup();
    EXPECT_EQ(cell(0, 1) + " " + cell(0, 3), KL("KLBackupManual") + " 1 " + KL("KLOrders"));
    const auto order = SUserCommodityDB().findWithUid_limit(std::nullopt, 1).front();
    ASSERT_TRUE(SUserCommodityDB().deleteOrderWithId_primaryKey(order.uid, "20150509160250"));
    UserDefaults::standardUserDefaults().setObject_forKey("dd.MM.yyyy", "yyyy/MM/dd");
    ASSERT_TRUE(selectRow("backupTableView", 0));
    ASSERT_TRUE(startWork("sheet", "", 0));
    EXPECT_EQ(labelText("backupStatusLbl"), KL("KLRestoring"));
    EXPECT_FALSE(tap("backEvent"));  // nothing to press while it runs; then it ends
    EXPECT_EQ(nav().depth(), 1u);
    EXPECT_EQ(top()->lastToastText(), KL("KLRestoreDone"));
    EXPECT_EQ(labelText("showMyOrderQtyValueText"), "1");
    EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey("yyyy/MM/dd"), "dd.MM.yyyy");

    // The ledger replaced is listed first; download and delete go by row.
    tap("jumpMoreItems2Event");
    selectRow("tableView", 3);
    const auto backups = topAs<BackupViewController>()->backups;
    ASSERT_EQ(backups.size(), 2u);
    EXPECT_EQ(cell(0, 1) + " " + cell(0, 3), KL("KLBackupBeforeRestore") + " 0 " + KL("KLOrders"));
    nav().takeURLsToOpen();
    selectRow("backupTableView", 1);
    sheet(1);
    EXPECT_EQ(nav().takeURLsToOpen(),
              std::vector<std::string>{DocumentsDirectory::fileURL("Backups/" + backups[1].name)});
    selectRow("backupTableView", 0);
    sheet(2);
    EXPECT_EQ(topAs<BackupViewController>()->backups.size(), 1u);
    EXPECT_FALSE(selectRow("backupTableView", 1));

    // Uploads that cannot be restored.
    std::ofstream(dataDir_ + "/notes.txt") << "my tax notes, not a database\n";
    for (const auto& [refused, reason] :
         {std::pair{false, "KLRestoreNotADatabase"}, {true, "KLRestoreTooLarge"}}) {
        UIEvent e;
        e.type = "file";
        e.id = "restoreFile";
        e.file = std::make_shared<UploadedFile>();
        e.file->path = refused ? "" : dataDir_ + "/notes.txt";
        e.file->refused = refused;
        e.file->bytes = refused ? LedgerBackup::kMaxCandidateBytes + 1 : 29;
        ASSERT_TRUE(send(e));
        EXPECT_EQ(top()->lastToastText(), KL("KLRestoreRefused") + " " + KL(reason));
    }
    EXPECT_EQ(orders(), 1u);

    // A backup that fails once its screen is gone is told on the More screen.
    std::filesystem::remove_all(dataDir_ + "/Backups");
    std::ofstream(dataDir_ + "/Backups") << "not a folder";
    ASSERT_TRUE(startWork("tap", "backupNowEvent"));
    EXPECT_EQ(labelText("backupStatusLbl"), KL("KLBackingUp"));
    ASSERT_TRUE(tap("backEvent"));
    EXPECT_EQ(top()->lastToastText(), KL("KLBackupFolderNotWritable"));
}

TEST_F(BackupScreen, ADamagedLedgerIsRestoredFromTheScreenItsBannerLeadsTo) {
    AppDelegate::Options options;
    options.dataDir = dataDir_;
    ASSERT_TRUE(AppDelegate::prepareEnvironment(options, nullptr));
    startWithABackup();
    app_.reset();
    AppDelegate::endInstance();
    // Its second page overwritten, after a crash.
    std::fstream file(dataDir_ + "/voice.sqlite", std::ios::in | std::ios::out | std::ios::binary);
    unsigned char size[2];
    file.seekg(16).read(reinterpret_cast<char*>(size), 2);
    file.seekp(size[0] << 8 | size[1]) << std::string(size[0] << 8 | size[1], '\x5a');
    file.close();
    std::ofstream(dataDir_ + "/" + InstanceLock::kFileName) << "running\n";

    ASSERT_TRUE(AppDelegate::prepareEnvironment(options, nullptr));
    start();
    ASSERT_EQ(nav().banner(), KL("KLLedgerDamaged"));
    UIEvent banner;
    banner.type = "banner";
    ASSERT_TRUE(send(banner));
    ASSERT_TRUE(selectRow("backupTableView", 0));
    sheet(0);
    EXPECT_EQ(nav().banner(), "");
    EXPECT_EQ(labelText("showMyOrderQtyValueText"), "1");
    EXPECT_FALSE(SDBManager::defaultDBManager().readOnly());
    AppDelegate::endInstance();  // a clean exit: the next start needs no check
    ASSERT_TRUE(AppDelegate::prepareEnvironment(options, nullptr));
    EXPECT_FALSE(AppDelegate::previousRunEndedUncleanly());
    AppDelegate::endInstance();
}
