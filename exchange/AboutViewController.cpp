#include "exchange/AboutViewController.h"

#include "exchange/MailOutcome.h"
#include "platform/DeviceFacts.h"
#include "platform/Localisation.h"
#include "storage/ConstParameterAndMethod.h"
#include "toolkit/Navigator.h"
#include "toolkit/TableView.h"
#include "widgets/ScreenParts.h"

AboutViewController::AboutViewController() : Screen("AboutViewController", true) {}

std::string AboutViewController::versionText() {
    return KL("KLAppName") + " v" + DeviceFacts::current().applicationVersion();
}

std::string AboutViewController::feedbackBody() {
    const DeviceFacts& d = DeviceFacts::current();
    // The system's own name stands where a phone would name its system.
    std::string line = "{" + KL("KLAppName") + " v" + d.applicationVersion() + " | " +
                       d.localeIdentifier() + "," + d.preferredLanguage() + " \n" + d.systemName() +
                       " " + d.systemVersion() + " | " + d.model() + "} \n";
    return "\n" + line;
}

void AboutViewController::viewDidLoad() {
    title = KL("KLAbout");
    background = "white";

    ScreenParts::addBackButton(*this);
    on("backEvent", [this](const ActionArgs&) { backEvent(); });

    auto& version = add<Label>("appNameVersionLbl");
    version.text = versionText();

    itemsArray = {KL("KLFAQ"), KL("KLAppStore")};
    auto& table = add<TableView>("tableView");
    table.rowHeight = 60;
    table.scrollEnabled = false;
    for (const auto& item : itemsArray) {
        TableRow row;
        row.layout = "MoreCell";
        row.arrow = true;
        row.add("showNameCell", item);
        table.rows.push_back(std::move(row));
    }
    table.didSelectRow = [this](int row) {
        if (row == 0)
            sendFAQEmailEvent();
        else if (row == 1)
            rateAppStoreEvent();
    };
}

void AboutViewController::sendFAQEmailEvent() {
    displayComposerSheet();
}

void AboutViewController::displayComposerSheet() {
    if (!MailComposer::canSendMail()) return;
    MailDraft draft;
    draft.subject = KL("KLFAQ");
    draft.to = {kFeedbackAddress};
    draft.body = feedbackBody();
    draft.bodyIsHTML = false;
    ComposerSheet::present(*this, std::move(draft), [this](MailResult result, MailError error) {
        mailComposeController_didFinishWithResult_error(result, error);
    });
}

void AboutViewController::rateAppStoreEvent() {
    ConstParameterAndMethod::gotoAppStorePageRaisal(kStoreIdentifier);
}

void AboutViewController::backEvent() {
    if (auto* nav = navigationController()) nav->popViewControllerAnimated(true);
}

void AboutViewController::mailComposeController_didFinishWithResult_error(MailResult result,
                                                                          MailError error) {
    reportMailOutcome(*this, result, error, 2.0);
}
