// The orders export from the More screen: the file's exact bytes, its quoting, the empty
// ledger, files that cannot be written or read back, and the mail's outcome pop-ups.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/MoreViewController.h"
#include "platform/Localisation.h"
#include "storage/SDBManager.h"
#include "storage/SUserCommodityDB.h"
#include "tests/exchange/ExchangeHarness.h"
#include "tests/exchange/MimeReader.h"

namespace {

const char* const kHeader = "Type,Order name,Quantity,Items,Total,Date,Weekday,Notes";

SUserCommodity order(const char* kind, const char* name, const char* counts, const char* entries,
                     const char* amount, const char* date, const char* weekday, const char* notes) {
    SUserCommodity o;
    o.orderPrimaryKeyDate = "20150509160250";
    o.orderSalesAndPurchaseType = kind;
    o.orderSalesAndPurchaseTags = std::string(kind) == "Sales" ? "21" : "11";
    o.orderSalesTagOrPurchaseTag = std::string(kind) == "Sales" ? "111" : "000";
    o.orderName = name;
    o.orderTotalCounts = counts;
    o.orderTotalEntrys = entries;
    o.orderTotalAmount = amount;
    o.recordeDateTime = date;
    o.recordeWeekTime = weekday;
    o.remarkNotes = notes;
    o.years = "2015";
    o.months = "5";
    o.days = "9";
    return o;
}

class CSVExportFromMore : public ExchangeHarness {
  protected:
    void save(const SUserCommodity& o) { ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(o)); }
    void openMore() {
        ASSERT_TRUE(tap("jumpMoreItems2Event"));
        ASSERT_NE(topAs<MoreViewController>(), nullptr);
    }
    bool exportRow() { return selectRow("tableView", 1); }
    std::string csv() { return readFile(path("Marrowkeeper3.CSV")); }
};

}  // namespace

TEST_F(CSVExportFromMore, TwoOrdersNewestFirstWithExactBytesAndTheExportMail) {
    startApp();
    save(order("Purchase", "Nails", "12.00", "2", "30.50", "2015/05/08", "Friday", "-"));
    save(order("Sales", "Hammer", "1.00", "1", "9.99", "2015/05/09", "Saturday", ""));
    openMore();
    // Saved after the screen was loaded: not part of this export.
    save(order("Sales", "Late", "1.00", "1", "1.00", "2015/05/09", "Saturday", ""));

    ASSERT_TRUE(exportRow());
    const std::string expected = std::string(kHeader) +
                                 "\n Sales,Hammer,1.00,1,9.99,2015/05/09,Saturday,"
                                 "\n Purchase,Nails,12.00,2,30.50,2015/05/08,Friday,-";
    EXPECT_EQ(csv(), expected);

    const auto& composer = top()->composer();
    ASSERT_TRUE(composer.has_value());
    const MailDraft& d = composer->draft;
    EXPECT_EQ(d.subject, "Export data");
    EXPECT_EQ(d.to, std::vector<std::string>{""});
    EXPECT_EQ(d.body, "Marrowkeeper: \n");
    EXPECT_TRUE(d.bodyIsHTML);
    ASSERT_EQ(d.attachments.size(), 1u);
    EXPECT_EQ(d.attachments[0].fileName, "Marrowkeeper3.CSV");
    EXPECT_EQ(d.attachments[0].mimeType, "text/csv");
    EXPECT_EQ(d.attachments[0].bytes, expected);

    // Cancel: the pop-up, centred, for one second, and the composer closes.
    ASSERT_TRUE(mailChoice("cancel"));
    EXPECT_FALSE(top()->composer().has_value());
    ASSERT_FALSE(top()->toasts().empty());
    EXPECT_EQ(top()->toasts().back().text, "Sending cancelled");
    EXPECT_TRUE(top()->toasts().back().centred);
    EXPECT_DOUBLE_EQ(top()->toasts().back().seconds, 1.0);
    EXPECT_TRUE(drafts().empty());

    // A second export rebuilds the file from scratch: same bytes, not doubled.
    ASSERT_TRUE(exportRow());
    EXPECT_EQ(csv(), expected);
    // A fresh More screen sees the late order.
    ASSERT_TRUE(mailChoice("cancel"));
    ASSERT_TRUE(tap("jumpMoreItems3Event"));
    ASSERT_TRUE(exportRow());
    EXPECT_TRUE(csv().starts_with(std::string(kHeader) + "\n Sales,Late,")) << csv();
}

TEST_F(CSVExportFromMore, FieldsWithCommasQuotesAndLineBreaksAreQuoted) {
    startApp();
    save(order("Sales", "Bolts, M6", "3.00", "1", "4.50", "2015/05/09", "Satur\rday",
               "say \"hi\"\nthen leave"));
    save(order("Purchase", "\"Quoted\"", "1.00", "1", "0.50", "2015/05/09", "Saturday",
               "plain; not quoted"));
    openMore();
    ASSERT_TRUE(exportRow());
    EXPECT_EQ(csv(), std::string(kHeader) +
                         "\n Purchase,\"\"\"Quoted\"\"\",1.00,1,0.50,2015/05/09,Saturday,"
                         "plain; not quoted"
                         "\n Sales,\"Bolts, M6\",3.00,1,4.50,2015/05/09,\"Satur\rday\","
                         "\"say \"\"hi\"\"\nthen leave\"");
}

TEST_F(CSVExportFromMore, NonAsciiTextsAreWrittenAsUtf8WithoutMark) {
    Localisation::select("es");
    startApp();
    save(order("Ventas", "Café für Zoë 東京", "2.00", "1", "3.00", "2015/05/09", "sábado", "ñ"));
    openMore();
    ASSERT_TRUE(exportRow());
    std::string bytes = csv();
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");
    std::string header;
    for (const char* key : {"KLCSVType", "KLCSVOrderName", "KLCSVQuantity", "KLCSVItems",
                            "KLCSVTotal", "KLCSVDate", "KLCSVWeek", "KLCSVNotes"})
        header += (header.empty() ? "" : ",") + KL(key);
    EXPECT_EQ(bytes, header +
                         "\n Ventas,Caf\xC3\xA9 f\xC3\xBCr Zo\xC3\xAB \xE6\x9D\xB1\xE4\xBA\xAC,"
                         "2.00,1,3.00,2015/05/09,s\xC3\xA1"
                         "bado,\xC3\xB1");
    ASSERT_TRUE(top()->composer().has_value());
    EXPECT_EQ(top()->composer()->draft.subject, KL("KLExportData"));
}

TEST_F(CSVExportFromMore, EmptyLedgerShowsNoRecordAndLeavesTheFileAlone) {
    startApp();
    writeFile(path("Marrowkeeper3.CSV"), "earlier export\n keep me");
    openMore();
    ASSERT_TRUE(exportRow());
    EXPECT_EQ(top()->lastToastText(), "No records");
    EXPECT_FALSE(top()->toasts().back().centred);
    EXPECT_DOUBLE_EQ(top()->toasts().back().seconds, 1.0);
    EXPECT_FALSE(top()->composer().has_value());
    EXPECT_EQ(csv(), "earlier export\n keep me");
}

TEST_F(CSVExportFromMore, FileThatCannotBeWrittenOrReadBackSendsNoMail) {
    startApp();
    save(order("Sales", "Hammer", "1.00", "1", "9.99", "2015/05/09", "Saturday", ""));
    openMore();
    // A directory with content where the file belongs: it can be neither removed nor opened.
    std::filesystem::create_directories(path("Marrowkeeper3.CSV/inside"));
    ASSERT_TRUE(exportRow());
    EXPECT_EQ(top()->lastToastText(), "Operation failed");
    EXPECT_DOUBLE_EQ(top()->toasts().back().seconds, 1.5);
    EXPECT_FALSE(top()->composer().has_value());

    // Bytes that are not UTF-8 do not read back as text: no mail either.
    std::filesystem::remove_all(path("Marrowkeeper3.CSV"));
    save(order("Sales", "bad \xC3( byte", "1.00", "1", "9.99", "2015/05/09", "Saturday", ""));
    ASSERT_TRUE(tap("jumpMoreItems3Event"));
    ASSERT_TRUE(exportRow());
    EXPECT_EQ(top()->lastToastText(), "Operation failed");
    EXPECT_FALSE(top()->composer().has_value());
}

TEST_F(CSVExportFromMore, EveryOrderIsExportedBeyondTenThousand) {
    startApp();
    auto db = SDBManager::defaultDBManager().dataBase();
    ASSERT_TRUE(db->executeUpdate(
        "INSERT INTO SUserCommodity (orderSalesAndPurchaseType, orderName, orderTotalCounts, "
        "orderTotalEntrys, orderTotalAmount, recordeDateTime, recordeWeekTime, remarkNotes) "
        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 10003) "
        "SELECT 'Sales', 'o' || x, '1.00', '1', '2.00', '2015/05/09', 'Saturday', '' FROM n"));
    openMore();
    EXPECT_EQ(topAs<MoreViewController>()->exportDataArray.size(), 10003u);
    ASSERT_TRUE(exportRow());
    std::string bytes = csv();
    size_t lines = 0;
    for (size_t at = 0; (at = bytes.find("\n ", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 10003u);
    // Newest first: the last inserted leads, the first inserted ends the file.
    EXPECT_EQ(bytes.substr(std::string(kHeader).size(), 15), "\n Sales,o10003,");
    const std::string last = "\n Sales,o1,1.00,1,2.00,2015/05/09,Saturday,";
    EXPECT_EQ(bytes.substr(bytes.size() - last.size()), last);
}
