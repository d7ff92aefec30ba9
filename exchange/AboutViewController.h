#pragma once
// The about screen: name and version, the feedback mail and the store page.
#include <string>
#include <vector>

#include "platform/MailComposer.h"
#include "toolkit/Screen.h"

class AboutViewController : public Screen {
  public:
    // Where feedback goes and the application's number in the store.
    static constexpr const char* kFeedbackAddress = "feedback@marrowkeeper.example";
    static constexpr const char* kStoreIdentifier = "1009872365";

    AboutViewController();
    void viewDidLoad() override;

    // "%@ v%@": the application's name and build version.
    static std::string versionText();
    // The feedback body: a line break, then the application and device line.
    static std::string feedbackBody();

    void sendFAQEmailEvent();
    void displayComposerSheet();
    void rateAppStoreEvent();
    void backEvent();
    void mailComposeController_didFinishWithResult_error(MailResult result, MailError error);

    std::vector<std::string> itemsArray;
};
