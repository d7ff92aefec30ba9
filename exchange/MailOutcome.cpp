#include "exchange/MailOutcome.h"

#include "platform/Localisation.h"

std::string mailOutcomeText(MailResult result, MailError error) {
    switch (result) {
        case MailResult::Cancelled:
            return KL("KLSendCancel");
        case MailResult::Sent:
            return KL("KLSentSuccessfully");
        case MailResult::Failed:
            return KL(error == MailError::NeedsTLS ? "KLMailNeedsTLS" : "KLFailedToSend");
        case MailResult::Saved:
            break;
    }
    return {};
}
