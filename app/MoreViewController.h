#pragma once
// The More screen: the partner lists, the catalogue, the CSV export by mail, the workbook
// download, the mail settings and the about screen.
#include <string>

#include "exchange/CSVExport.h"
#include "platform/MailComposer.h"
#include "toolkit/Screen.h"

class MoreViewController : public Screen {
  public:
    MoreViewController();
    void viewDidLoad() override;

    // The export file: emptied, then filled with the header line and `orders`. False on
    // failure.
    bool createFile(const std::string& path);
    bool exportCSV(const std::string& path, const CSVExport::Snapshot& orders);
    // The export mail's outcome: the composer closes and a pop-up tells how it went.
    void mailComposeController_didFinishWithResult_error(MailResult result, MailError error);

  private:
    void jumpToPartners(const char* kind, const char* className);
    // The export reads every order header when it runs (a More screen kept for long holds
    // none of them) and mails them.
    void justCreateEvent();
    void CSVEcportEvent();
    // The workbook alone, handed to the user as a document, without mail.
    void spreadsheetExportEvent();
    void exportAndMail(const CSVExport::Snapshot& orders);
};
