#pragma once
// The More screen: the partner lists, the catalogue, the CSV export by mail, the workbook
// download, the backups, the mail settings and the about screen. It also says once when a
// backup failed, the automatic one of start-up included.
#include <memory>
#include <optional>
#include <string>

#include "exchange/CSVExport.h"
#include "platform/MailComposer.h"
#include "toolkit/Screen.h"

class MoreViewController : public Screen {
  public:
    MoreViewController();
    void viewDidLoad() override;
    void viewWillAppear() override;

    // The export file: emptied, then filled with the header line and every order of the
    // ledger `figures` reads; what was written, or nothing on failure. They touch nothing of
    // the app but what they are given: the export runs them outside its lock.
    static bool createFile(const std::string& path);
    static std::optional<CSVExport::Digest> exportCSV(const std::string& path,
                                                      const std::string& header,
                                                      LedgerFigures figures = {});
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
    // The files are written outside the app's lock from a copy of the ledger taken now (a
    // five-year ledger takes seconds to write out); then the mail with both (`mail`), or the
    // workbook's download. One export at a time; the screen says it is exporting meanwhile.
    void exportInBackground(bool mail);
    void exportFinished(bool mail, bool written);

    Label* exporting_ = nullptr;
    std::shared_ptr<bool> export_;  // held while an export runs; its outcome needs it
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // backups are told only to it
};
