#pragma once
// The pop-up text that reports a mail's outcome; a saved draft has none. A failure whose
// reason the user can act on says so instead of the plain failure text.
#include <string>

#include "platform/MailComposer.h"

std::string mailOutcomeText(MailResult result, MailError error = MailError::None);
