#pragma once
// The pop-up text that reports a mail's outcome; a saved draft has none.
#include <string>

#include "platform/MailComposer.h"

std::string mailOutcomeText(MailResult result);
