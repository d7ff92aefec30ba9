#pragma once
// Opens a link outside the app, such as the application's page in the store. What shows
// the app installs the opener (the screen toolkit's navigator hands links on to the page);
// without one a link goes nowhere, which the callers accept: whether it opens is not
// reported.
#include <functional>
#include <string>

namespace LinkOpener {

using Opener = std::function<void(const std::string& url)>;

// Replaces the process's opener; nullptr: none.
void install(Opener opener);
void open(const std::string& url);

}  // namespace LinkOpener
