#include "exchange/MailOutcome.h"

#include "platform/Localisation.h"

std::string mailOutcomeText(MailResult result) {
    switch (result) {
        case MailResult::Cancelled:
            return KL("KLSendCancel");
        case MailResult::Sent:
            return KL("KLSentSuccessfully");
        case MailResult::Failed:
            return KL("KLFailedToSend");
        case MailResult::Saved:
            break;
    }
    return {};
}
