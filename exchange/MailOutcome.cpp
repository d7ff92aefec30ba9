#include "exchange/MailOutcome.h"

#include <memory>

#include "exchange/MailSettingsViewController.h"
#include "platform/Localisation.h"
#include "toolkit/Navigator.h"

std::string mailOutcomeText(MailResult result, MailError error) {
    switch (result) {
        case MailResult::Cancelled:
            return KL("KLSendCancel");
        case MailResult::Sent:
            return KL("KLSentSuccessfully");
        case MailResult::Failed:
            if (error == MailError::NeedsTLS) return KL("KLMailNeedsTLS");
            if (error == MailError::NotSetUp) return KL("KLMailNotSetUp");
            return KL("KLFailedToSend");
        case MailResult::Saved:
            break;
    }
    return {};
}

void reportMailOutcome(Screen& screen, MailResult result, MailError error, double seconds,
                       bool offerSettings) {
    screen.dismissComposer();
    if (error != MailError::NotSetUp || !offerSettings) {
        screen.showPopup(mailOutcomeText(result, error), seconds);
        return;
    }
    TableAlert alert;
    alert.title = KL("KLMailNotSetUp");
    alert.rows = {KL("KLMailSettings")};
    alert.cancelTitle = KL("KLCancel");
    alert.height = 200;
    alert.onSelect = [&screen](int) {
        screen.navigationController()->pushViewController(
            std::make_unique<MailSettingsViewController>(), true);
    };
    screen.showTableAlert(std::move(alert));
}
