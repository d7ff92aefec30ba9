// The orders export from the More screen: the CSV's exact bytes; the empty ledger; the CSV as
// an RFC 4180 reader sees it, formula texts neutralised; the workbook as a spreadsheet reader
// sees it; files that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/MoreViewController.h"
#include "platform/Localisation.h"
#include "storage/LedgerFigures.h"
#include "storage/LedgerSnapshot.h"
#include "tests/exchange/ExchangeHarness.h"

namespace {

const std::string kHeader = "Type,Order name,Quantity,Items,Total,Date,Weekday,Notes";

class CSVExportFromMore : public ExchangeHarness {
  protected:
    // Opens a fresh More screen (from the dashboard or from More) and taps an export row.
    void exportFromMore(const char* jump = "jumpMoreItems2Event", int row = 1) {
        ASSERT_TRUE(tap(jump));
        ASSERT_NE(topAs<MoreViewController>(), nullptr);
        ASSERT_TRUE(selectRow("tableView", row));
    }
    std::string csv() { return ScratchDir::read(path("Marrowkeeper3.CSV")); }
};

}  // namespace

TEST_F(CSVExportFromMore, TwoOrdersNewestFirstWithExactBytesAndTheExportMail) {
    startApp();
    orders({{"Purchase", "Nails", "12.00", "1", "30.50", "2015/05/08", "Friday", "-"},
            {"Sales", "Hammer", "1.00", "1", "9.99", "2015/05/09", "Saturday", ""}});
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    // Saved after the screen was loaded: the export reads the orders when it runs.
    orders({{"Sales", "Late", "1.00", "1", "1.00", "2015/05/09", "Saturday", ""}});
    ASSERT_TRUE(selectRow("tableView", 1));
    const std::string expected = kHeader +
                                 "\n Sales,Late,1.00,1,1.00,2015/05/09,Saturday,"
                                 "\n Sales,Hammer,1.00,1,9.99,2015/05/09,Saturday,"
                                 "\n Purchase,Nails,12.00,1,30.50,2015/05/08,Friday,'-";
    EXPECT_EQ(csv(), expected);

    ASSERT_TRUE(mailChoice("cancel"));  // the mail's content is checked with the mail
    expectPopup("Sending cancelled", 1.0);
    EXPECT_TRUE(drafts().empty());

    // A second export rebuilds the file from scratch: same bytes, not doubled.
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(csv(), expected);

    // The export's copy of the ledger reads on with its name already gone from the folder,
    // so a crash cannot leave it behind.
    const auto copy = LedgerSnapshot::take();
    ASSERT_TRUE(copy);
    EXPECT_EQ(LedgerFigures(copy->database()).countOrders(), 3);
    for (const auto& e : std::filesystem::directory_iterator(path("")))
        EXPECT_EQ(e.path().filename().string().find(".voice-partial-"), std::string::npos);
}

TEST_F(CSVExportFromMore, ExportsStaySafeInSpreadsheetsAndTheWorkbookIsTypedAndDownloadable) {
    startApp();
    ScratchDir::write(path("Marrowkeeper3.CSV"), "earlier export");
    // An empty ledger: nothing to export by either row, and the file is left alone.
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    for (int row : {1, 2}) {
        ASSERT_TRUE(selectRow("tableView", row));
        expectPopup(KL("KLNoRecord"), 1.0, /*centred=*/false);
    }
    EXPECT_EQ(csv(), "earlier export");

    orders({{"Sales, cash", "=HYPERLINK(\"http://x\",\"y\")", "1.00", "1", "9.99", "2015/05/09",
             "@SUM(1)", "+1+2", "K1", "Zoë 東京", "14:02"},
            {"\tPurchase", "Café", "12.50", "2", "30.50", "2015/05/08", "Satur\rday",
             "say \"hi\"\nthen", "K2", "Acme", "09:15"},
            {"-", "\rx", "=1", "1", "-5", "2015/5/9", "", "a-b"}});
    lines({{"K1", "Hammer", "1", "9.99", "9.99"},
           {"K2", "Nail", "10.00", "2.05", "20.50"},
           {"K2", "Screw", "2.50", "4.00", "10.00"},
           {"nobody", "Orphan", "1", "1", "1"}});
    exportFromMore("jumpMoreItems3Event");
    ASSERT_TRUE(mailChoice("cancel"));
    // Broken UTF-8 and a control character cannot break the workbook (the CSV refuses them).
    orders({{"Sales", "bad \xC3( \x01 _x0041_"}});
    ASSERT_TRUE(selectRow("tableView", 2));

    // An RFC 4180 reader sees eight fields on every line: texts that start like a formula
    // have an apostrophe, numbers are as stored, a quoted first field holds the line's blank.
    // The workbook has typed cells with their formats, a bold frozen header with filters,
    // texts as text cells (shown with the "_xHHHH_" escapes of control characters and of a
    // literal escape as written), and the ledger's totals.
    EXPECT_EQ(python(R"(import csv, json, openpyxl, sys
for r in csv.reader(open(sys.argv[1], newline='', encoding='utf-8')):
    print(len(r), json.dumps(r, ensure_ascii=False))
def show(c):
    if c.value is None: return '-'
    return repr(c.value) if c.data_type == 's' else f'{c.value}~{c.number_format}'
for ws in openpyxl.load_workbook(sys.argv[2], data_only=True).worksheets:
    print(ws.title, ws.freeze_panes, ws.auto_filter.ref)
    for row in ws.iter_rows():
        print(' | '.join(map(show, row)) + (' (bold)' if row[0].font.b else '')))",
                     {path("Marrowkeeper3.CSV"), path("Marrowkeeper3.xlsx")}),
              R"~(8 ["Type", "Order name", "Quantity", "Items", "Total", "Date", "Weekday", "Notes"]
8 [" '-", "'\rx", "=1", "1", "-5", "2015/5/9", "", "a-b"]
8 [" '\tPurchase", "Café", "12.50", "2", "30.50", "2015/05/08", "Satur\rday", "say \"hi\"\nthen"]
8 [" Sales, cash", "'=HYPERLINK(\"http://x\",\"y\")", "1.00", "1", "9.99", "2015/05/09", "'@SUM(1)", "'+1+2"]
Orders A2 A1:J5
'Type' | 'Order name' | 'Quantity' | 'Items' | 'Total' | 'Date' | 'Weekday' | 'Notes' | 'Partner' | 'Time' (bold)
'Sales' | 'bad �( _x0001_ _x005F_x0041_' | - | - | - | - | - | - | - | -
'-' | '_x000D_x' | '=1' | 1~0 | -5~#,##0.00 | '2015/5/9' | - | 'a-b' | - | -
'\tPurchase' | 'Café' | 12.5~#,##0.00# | 2~0 | 30.5~#,##0.00 | 2015-05-08 00:00:00~yyyy/mm/dd | 'Satur_x000D_day' | 'say "hi"\nthen' | 'Acme' | 09:15:00~hh:mm
'Sales, cash' | '=HYPERLINK("http://x","y")' | 1~#,##0.00# | 1~0 | 9.99~#,##0.00 | 2015-05-09 00:00:00~yyyy/mm/dd | '@SUM(1)' | '+1+2' | 'Zoë 東京' | 14:02:00~hh:mm
'Total' | - | 13.5~#,##0.00# | 4~0 | 35.49~#,##0.00 | - | - | - | - | - (bold)
Order lines A2 A1:H4
'Order name' | 'Date' | 'Product' | 'Model' | 'Unit' | 'Quantity' | 'Unit price' | 'Total' (bold)
'Café' | 2015-05-08 00:00:00~yyyy/mm/dd | 'Nail' | 'M-Nail' | 'pcs' | 10~#,##0.00# | 2.05~#,##0.00# | 20.5~#,##0.00
'Café' | 2015-05-08 00:00:00~yyyy/mm/dd | 'Screw' | 'M-Screw' | 'pcs' | 2.5~#,##0.00# | 4~#,##0.00# | 10~#,##0.00
'=HYPERLINK("http://x","y")' | 2015-05-09 00:00:00~yyyy/mm/dd | 'Hammer' | 'M-Hammer' | 'pcs' | 1~#,##0.00# | 9.99~#,##0.00# | 9.99~#,##0.00
'Total' | - | - | - | - | 13.5~#,##0.00# | - | 40.49~#,##0.00 (bold)
)~");
}

TEST_F(CSVExportFromMore, FileThatCannotBeWrittenOrReadBackSendsNoMail) {
    startApp();
    orders({{"Sales", "Hammer", "1.00", "1", "9.99", "2015/05/09", "Saturday", ""}});
    // A directory with content where the file belongs: it can be neither removed nor opened.
    std::filesystem::create_directories(path("Marrowkeeper3.CSV/inside"));
    exportFromMore();
    expectPopup(KL("KLOperationFailed"), 1.5, /*centred=*/false);

    // Bytes that are not UTF-8 do not read back as text: no mail either.
    std::filesystem::remove_all(path("Marrowkeeper3.CSV"));
    orders({{"Sales", "bad \xC3( byte", "1.00", "1", "9.99", "2015/05/09", "Saturday", ""}});
    exportFromMore("jumpMoreItems3Event");
    expectPopup(KL("KLOperationFailed"), 1.5, /*centred=*/false);
    EXPECT_FALSE(std::filesystem::exists(path("Marrowkeeper3.CSV")));  // no partial file left

    // Read back a piece at a time: a character cut by a piece's end is whole in the next
    // piece; a broken one, or one cut by the file's end, is not UTF-8.
    const std::string fill(CSVExport::kPieceBytes - 1, 'a');
    for (const auto& [bytes, valid] :
         std::vector<std::pair<std::string, bool>>{{fill + "\u00e9", true},
                                                   {fill + "\u20acx", true},
                                                   {fill + "\U0001F600", true},
                                                   {fill + "\xC3(", false},
                                                   {fill + "a\xE2\x82", false}}) {
        ScratchDir::write(path("piece.csv"), bytes);
        CSVExport::Digest d;
        d.add(bytes);
        EXPECT_EQ(CSVExport::readBack(path("piece.csv")), valid ? std::optional(d) : std::nullopt)
            << bytes.substr(fill.size());
    }
}
