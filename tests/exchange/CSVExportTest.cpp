// The orders export from the More screen: the CSV's exact bytes as a spreadsheet-safe,
// RFC 4180 file, the workbook beside it as a spreadsheet reads it, the empty ledger, files
// that cannot be written or read back, and the export mail.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/MoreViewController.h"
#include "exchange/WorkbookExport.h"
#include "platform/Localisation.h"
#include "storage/SDBManager.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "tests/exchange/ExchangeHarness.h"
#include "web/Server.h"

namespace {

const std::string kHeader = "Type,Order name,Quantity,Items,Total,Date,Weekday,Notes";

class CSVExportFromMore : public ExchangeHarness {
  protected:
    void save(std::string kind, std::string name, std::string counts, std::string amount,
              std::string date, std::string weekday, std::string notes, std::string key = "",
              std::string partner = "", std::string time = "") {
        SUserCommodity o;
        o.orderSalesAndPurchaseType = kind;
        o.orderName = name;
        o.orderTotalCounts = counts;
        o.orderTotalEntrys = "1";
        o.orderTotalAmount = amount;
        o.recordeDateTime = date;
        o.recordeWeekTime = weekday;
        o.remarkNotes = notes;
        o.orderPrimaryKeyDate = key;
        o.orderSupplierOrCustomerName = partner;
        o.minutesTime = time;
        ASSERT_TRUE(SUserCommodityDB().saveUserCommodity(o));
    }
    void saveLine(std::string key, std::string product, std::string qty, std::string price,
                  std::string total) {
        SUserCommodityOrder l;
        l.orderItemPrimaryKeyDate = key;
        l.orderItemProductName = product;
        l.orderItemModel = "M-" + product;
        l.orderItemUnit = "pcs";
        l.orderItemQuantity = qty;
        l.orderItemUnitPrice = price;
        l.orderItemTotalAmount = total;
        ASSERT_TRUE(SUserCommodityOrderDB().saveUserCommodityOrder(l));
    }
    // Opens a fresh More screen (from the dashboard or from More) and taps an export row.
    void exportFromMore(const char* jump = "jumpMoreItems2Event", int row = 1) {
        ASSERT_TRUE(tap(jump));
        ASSERT_NE(topAs<MoreViewController>(), nullptr);
        ASSERT_TRUE(selectRow("tableView", row));
    }
    std::string csv() { return readFile(path("Marrowkeeper3.CSV")); }
};

}  // namespace

TEST_F(CSVExportFromMore, TwoOrdersNewestFirstWithExactBytesAndTheExportMail) {
    startApp();
    save("Purchase", "Nails", "12.00", "30.50", "2015/05/08", "Friday", "-");
    save("Sales", "Hammer", "1.00", "9.99", "2015/05/09", "Saturday", "");
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    // Saved after the screen was loaded: not part of this export.
    save("Sales", "Late", "1.00", "1.00", "2015/05/09", "Saturday", "");
    ASSERT_TRUE(selectRow("tableView", 1));
    const std::string expected = kHeader +
                                 "\n Sales,Hammer,1.00,1,9.99,2015/05/09,Saturday,"
                                 "\n Purchase,Nails,12.00,1,30.50,2015/05/08,Friday,'-";
    EXPECT_EQ(csv(), expected);

    // The mail carries the file and the workbook as they are on disk.
    ASSERT_TRUE(top()->composer().has_value());
    const auto& files = top()->composer()->draft.attachments;
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].bytes, expected);
    EXPECT_EQ(files[1].fileName, "Marrowkeeper3.xlsx");
    EXPECT_EQ(files[1].mimeType,
              "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    EXPECT_EQ(files[1].bytes, readFile(path("Marrowkeeper3.xlsx")));
    ASSERT_TRUE(mailChoice("cancel"));
    expectPopup("Sending cancelled", 1.0);
    EXPECT_TRUE(drafts().empty());

    // A second export rebuilds the file from scratch: same bytes, not doubled.
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(csv(), expected);
    // A fresh More screen sees the late order.
    ASSERT_TRUE(mailChoice("cancel"));
    exportFromMore("jumpMoreItems3Event");
    EXPECT_TRUE(csv().starts_with(kHeader + "\n Sales,Late,")) << csv();
}

TEST_F(CSVExportFromMore, FormulaTextsAreNeutralisedAndEveryRowReadsAsEightFields) {
    startApp();
    save("Sales, cash", "=HYPERLINK(\"http://x\",\"y\")", "-2.00", "-5.50", "2015/05/09", "@SUM(1)",
         "+1+2");
    save("\tPurchase", "Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC", "3", "+7", "2015/05/09",
         "Satur\rday", "say \"hi\"\nthen");
    save("-", "\rx", "=1", "1", "2015/05/09", "", "a-b");
    exportFromMore();
    // Texts that start like a formula get an apostrophe; numbers stay as stored; a quoted
    // first field holds the line's blank.
    EXPECT_EQ(csv(), kHeader +
                         "\n '-,\"'\rx\",=1,1,1,2015/05/09,,a-b"
                         "\n '\tPurchase,Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC,3,1,+7,2015/05/09,"
                         "\"Satur\rday\",\"say \"\"hi\"\"\nthen\""
                         "\n\" Sales, cash\",\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",-2.00,1,"
                         "-5.50,2015/05/09,'@SUM(1),'+1+2");
    // An RFC 4180 reader sees eight fields on every row, and no byte order mark.
    EXPECT_EQ(python("import csv, json, sys\n"
                     "for r in csv.reader(open(sys.argv[1], newline='', encoding='utf-8')):\n"
                     "    print(len(r), json.dumps(r, ensure_ascii=False))",
                     {path("Marrowkeeper3.CSV")}),
              "8 [\"Type\", \"Order name\", \"Quantity\", \"Items\", \"Total\", \"Date\", "
              "\"Weekday\", \"Notes\"]\n"
              "8 [\" '-\", \"'\\rx\", \"=1\", \"1\", \"1\", \"2015/05/09\", \"\", \"a-b\"]\n"
              "8 [\" '\\tPurchase\", \"Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC\", \"3\", \"1\", "
              "\"+7\", \"2015/05/09\", \"Satur\\rday\", \"say \\\"hi\\\"\\nthen\"]\n"
              "8 [\" Sales, cash\", \"'=HYPERLINK(\\\"http://x\\\",\\\"y\\\")\", \"-2.00\", "
              "\"1\", \"-5.50\", \"2015/05/09\", \"'@SUM(1)\", \"'+1+2\"]\n");
}

TEST_F(CSVExportFromMore, SpreadsheetRowDownloadsATypedWorkbookWithTheLedgersTotals) {
    startApp();
    exportFromMore("jumpMoreItems2Event", 2);
    expectPopup(KL("KLNoRecord"), 1.0, /*centred=*/false);

    save("Purchase", "Nails", "12.50", "30.50", "2015/05/08", "Friday", "-", "K1", "Acme", "09:15");
    saveLine("K1", "Nail", "10.00", "2.05", "20.50");
    saveLine("K1", "Screw", "2.50", "4.00", "10.00");
    // Texts stay texts whatever they hold; broken UTF-8 and control characters cannot
    // break the file; a date or number that is not one stays the text it is.
    save("Sales", "=cmd|' /C calc'!A0", "1.00", "9.99", "2015/5/9", "Saturday",
         "bad \xC3( \x01 _x0041_", "K2", "Zo\xC3\xAB \xE6\x9D\xB1\xE4\xBA\xAC", "14:02");
    saveLine("K2", "Hammer", "1", "9.99", "9.99");
    saveLine("nobody", "Orphan", "1", "1", "1");  // a line of no exported order
    exportFromMore("jumpMoreItems3Event", 2);

    // The page is told to open the document, which the server then serves as a download.
    std::mutex mutex;
    web::WebServer server(nav(), mutex);
    web::Request req;
    req.method = "GET";
    req.path = "/api/view";
    req.headers = {{"host", "127.0.0.1:0"}};
    req.params = {{"token", server.token()}};
    const std::string view = server.handle(req).body;
    const std::string link = "http://127.0.0.1:0/api/document?name=Marrowkeeper3.xlsx";
    EXPECT_NE(view.find("\"openURLs\":[\"" + link + "\"]"), std::string::npos) << view;
    req.path = "/api/document";
    req.params.emplace("name", "voice.sqlite");
    EXPECT_EQ(server.handle(req).status, 404);  // only what the app offered
    req.params = {{"token", server.token()}, {"name", "Marrowkeeper3.xlsx"}};
    const web::Response file = server.handle(req);
    EXPECT_EQ(file.body, readFile(path("Marrowkeeper3.xlsx")));
    EXPECT_EQ(file.contentType, WorkbookExport::kMimeType);

    // Typed cells and their formats, the header bold and frozen with filters, texts as text
    // cells (the reader shows the "_xHHHH_" escapes of a control character and of a literal
    // escape as they are written), totals as the ledger's.
    EXPECT_EQ(python(R"(import openpyxl, sys
def show(c):
    if c.value is None: return '-'
    return repr(c.value) if c.data_type == 's' else f'{c.value}~{c.number_format}'
for ws in openpyxl.load_workbook(sys.argv[1], data_only=True).worksheets:
    print(ws.title, ws.freeze_panes, ws.auto_filter.ref)
    for row in ws.iter_rows():
        print(' | '.join(map(show, row)) + (' (bold)' if row[0].font.b else '')))",
                     {path("Marrowkeeper3.xlsx")}),
              R"(Orders A2 A1:J3
'Type' | 'Order name' | 'Quantity' | 'Items' | 'Total' | 'Date' | 'Weekday' | 'Notes' | 'Partner' | 'Time' (bold)
'Sales' | "=cmd|' /C calc'!A0" | 1~#,##0.00# | 1~0 | 9.99~#,##0.00 | '2015/5/9' | 'Saturday' | 'bad �( _x0001_ _x005F_x0041_' | 'Zoë 東京' | 14:02:00~hh:mm
'Purchase' | 'Nails' | 12.5~#,##0.00# | 1~0 | 30.5~#,##0.00 | 2015-05-08 00:00:00~yyyy/mm/dd | 'Friday' | '-' | 'Acme' | 09:15:00~hh:mm
'Total' | - | 13.5~#,##0.00# | 2~0 | 40.49~#,##0.00 | - | - | - | - | - (bold)
Order lines A2 A1:H4
'Order name' | 'Date' | 'Product' | 'Model' | 'Unit' | 'Quantity' | 'Unit price' | 'Total' (bold)
"=cmd|' /C calc'!A0" | '2015/5/9' | 'Hammer' | 'M-Hammer' | 'pcs' | 1~#,##0.00# | 9.99~#,##0.00# | 9.99~#,##0.00
'Nails' | 2015-05-08 00:00:00~yyyy/mm/dd | 'Nail' | 'M-Nail' | 'pcs' | 10~#,##0.00# | 2.05~#,##0.00# | 20.5~#,##0.00
'Nails' | 2015-05-08 00:00:00~yyyy/mm/dd | 'Screw' | 'M-Screw' | 'pcs' | 2.5~#,##0.00# | 4~#,##0.00# | 10~#,##0.00
'Total' | - | - | - | - | 13.5~#,##0.00# | - | 40.49~#,##0.00 (bold)
)");
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
