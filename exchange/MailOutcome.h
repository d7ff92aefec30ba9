#pragma once
// How a mail's outcome is reported: a pop-up text, none for a saved draft. A failure whose
// reason the user can act on says so instead of the plain failure text.
#include <string>

#include "platform/MailComposer.h"
#include "toolkit/Screen.h"

std::string mailOutcomeText(MailResult result, MailError error = MailError::None);

// Closes the composer of `screen` and shows the outcome's pop-up for `seconds`. When mail is
// not set up, and `offerSettings`, a pop-up with a button to the mail settings takes its
// place.
void reportMailOutcome(Screen& screen, MailResult result, MailError error, double seconds,
                       bool offerSettings = true);
