// The orders export from the More screen: the file's exact bytes, its quoting, the empty
// ledger, files that cannot be written or read back, and the export mail.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/MoreViewController.h"
#include "platform/Localisation.h"
#include "storage/SDBManager.h"
#include "storage/SUserCommodityDB.h"
#include "tests/exchange/ExchangeHarness.h"

namespace {

const std::string kHeader = "Type,Order name,Quantity,Items,Total,Date,Weekday,Notes";

class CSVExportFromMore : public ExchangeHarness {
  protected:
    void save(std::string kind, std::string name, std::string counts, std::string amount,
              std::string date, std::string weekday, std::string notes) {
        SUserCommodity o;
        o.orderSalesAndPurchaseType = kind;
        o.orderName = name;
        o.orderTotalCounts = counts;
        o.orderTotalEntrys = "1";
        o.orderTotalAmount = amount;
        o.recordeDateTime = date;
        o.recordeWeekTime = weekday;
        o.remarkNotes = notes;
        ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(o));
    }
    // Opens a fresh More screen (from the dashboard or from More) and taps the export row.
    void exportFromMore(const char* jump = "jumpMoreItems2Event") {
        ASSERT_TRUE(tap(jump));
        ASSERT_NE(topAs<MoreViewController>(), nullptr);
        ASSERT_TRUE(selectRow("tableView", 1));
    }
    std::string csv() { return readFile(path("Marrowkeeper3.CSV")); }
};

}  // namespace

TEST_F(CSVExportFromMore, TwoOrdersNewestFirstWithExactBytesAndTheExportMail) {
    startApp();
    save("Purchase", "Nails", "12.00", "30.50", "2015/05/08", "Friday", "-");
    save("Sales", "Hammer", "1.00", "9.99", "2015/05/09", "Saturday", "");
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    // Saved after the screen was loaded: the export reads the orders when it runs.
    save("Sales", "Late", "1.00", "1.00", "2015/05/09", "Saturday", "");
    ASSERT_TRUE(selectRow("tableView", 1));
    const std::string expected = kHeader +
                                 "\n Sales,Late,1.00,1,1.00,2015/05/09,Saturday,"
                                 "\n Sales,Hammer,1.00,1,9.99,2015/05/09,Saturday,"
                                 "\n Purchase,Nails,12.00,1,30.50,2015/05/08,Friday,-";
    EXPECT_EQ(csv(), expected);

    // The mail carries the file as it is on disk.
    ASSERT_TRUE(top()->composer().has_value());
    ASSERT_EQ(top()->composer()->draft.attachments.size(), 1u);
    EXPECT_EQ(top()->composer()->draft.attachments[0].bytes, expected);
    ASSERT_TRUE(mailChoice("cancel"));
    expectPopup("Sending cancelled", 1.0);
    EXPECT_TRUE(drafts().empty());

    // A second export rebuilds the file from scratch: same bytes, not doubled.
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(csv(), expected);
}

TEST_F(CSVExportFromMore, FieldsWithCommasQuotesAndLineBreaksAreQuoted) {
    startApp();
    save("Sales", "Bolts, M6", "3.00", "4.50", "2015/05/09", "Satur\rday", "say \"hi\"\nthen");
    save("Purchase", "\"Quoted\"", "1.00", "0.50", "2015/05/09", "Saturday", "plain; as is");
    exportFromMore();
    EXPECT_EQ(csv(), kHeader +
                         "\n Purchase,\"\"\"Quoted\"\"\",1.00,1,0.50,2015/05/09,Saturday,"
                         "plain; as is"
                         "\n Sales,\"Bolts, M6\",3.00,1,4.50,2015/05/09,\"Satur\rday\","
                         "\"say \"\"hi\"\"\nthen\"");
}

TEST_F(CSVExportFromMore, NonAsciiTextsAreWrittenAsUtf8WithoutMark) {
    Localisation::select("es");
    startApp();
    save("Ventas", "Café für Zoë 東京", "2.00", "3.00", "2015/05/09", "sábado", "ñ");
    exportFromMore();
    std::string header;
    for (const char* key : {"KLCSVType", "KLCSVOrderName", "KLCSVQuantity", "KLCSVItems",
                            "KLCSVTotal", "KLCSVDate", "KLCSVWeek", "KLCSVNotes"})
        header += (header.empty() ? "" : ",") + KL(key);
    EXPECT_EQ(csv(), header +
                         "\n Ventas,Caf\xC3\xA9 f\xC3\xBCr Zo\xC3\xAB \xE6\x9D\xB1\xE4\xBA\xAC,"
                         "2.00,1,3.00,2015/05/09,s\xC3\xA1"
                         "bado,\xC3\xB1");
    ASSERT_TRUE(top()->composer().has_value());
    EXPECT_EQ(top()->composer()->draft.subject, KL("KLExportData"));
}

TEST_F(CSVExportFromMore, EmptyLedgerShowsNoRecordAndLeavesTheFileAlone) {
    startApp();
    writeFile(path("Marrowkeeper3.CSV"), "earlier export\n keep me");
    exportFromMore();
    expectPopup(KL("KLNoRecord"), 1.0, /*centred=*/false);
    EXPECT_EQ(csv(), "earlier export\n keep me");
}

TEST_F(CSVExportFromMore, FileThatCannotBeWrittenOrReadBackSendsNoMail) {
    startApp();
    save("Sales", "Hammer", "1.00", "9.99", "2015/05/09", "Saturday", "");
    // A directory with content where the file belongs: it can be neither removed nor opened.
    std::filesystem::create_directories(path("Marrowkeeper3.CSV/inside"));
    exportFromMore();
    expectPopup(KL("KLOperationFailed"), 1.5, /*centred=*/false);

    // Bytes that are not UTF-8 do not read back as text: no mail either.
    std::filesystem::remove_all(path("Marrowkeeper3.CSV"));
    save("Sales", "bad \xC3( byte", "1.00", "9.99", "2015/05/09", "Saturday", "");
    exportFromMore("jumpMoreItems3Event");
    expectPopup(KL("KLOperationFailed"), 1.5, /*centred=*/false);
}

TEST_F(CSVExportFromMore, EveryOrderIsExportedBeyondTenThousand) {
    startApp();
    ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate(
        "INSERT INTO SUserCommodity (orderSalesAndPurchaseType, orderName, orderTotalCounts, "
        "orderTotalEntrys, orderTotalAmount, recordeDateTime, recordeWeekTime, remarkNotes) "
        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 10003) "
        "SELECT 'Sales', 'o' || x, '1.00', '1', '2.00', '2015/05/09', 'Saturday', '' FROM n"));
    exportFromMore();
    std::string bytes = csv();
    size_t lines = 0;
    for (size_t at = 0; (at = bytes.find("\n ", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 10003u);
    // Newest first: the last inserted leads, the first inserted ends the file.
    EXPECT_EQ(bytes.substr(kHeader.size(), 15), "\n Sales,o10003,");
    const std::string last = "\n Sales,o1,1.00,1,2.00,2015/05/09,Saturday,";
    EXPECT_TRUE(bytes.ends_with(last));
}
