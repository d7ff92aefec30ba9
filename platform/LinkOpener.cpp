#include "platform/LinkOpener.h"

namespace LinkOpener {

namespace {
Opener& slot() {
    static Opener opener;
    return opener;
}
}  // namespace

void install(Opener opener) {
    slot() = std::move(opener);
}

void open(const std::string& url) {
    if (slot()) slot()(url);
}

}  // namespace LinkOpener
