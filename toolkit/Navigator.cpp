#include "toolkit/Navigator.h"

#include "platform/LinkOpener.h"

namespace {
Navigator*& sharedNavigatorSlot() {
    static Navigator* nav = nullptr;
    return nav;
}
}  // namespace

Navigator::~Navigator() {
    // Top first, as screens are removed from a stack.
    while (!stack_.empty()) stack_.pop_back();
    removed_.clear();
}

void Navigator::setRoot(std::unique_ptr<Screen> root) {
    while (!stack_.empty()) {
        removed_.push_back(std::move(stack_.back()));
        stack_.pop_back();
    }
    show(std::move(root), "root", false);
}

void Navigator::pushViewController(std::unique_ptr<Screen> screen, bool animated) {
    if (!screen) return;
    if (stack_.empty()) {
        setRoot(std::move(screen));
        return;
    }
    show(std::move(screen), "push", animated);
}

void Navigator::show(std::unique_ptr<Screen> screen, const char* kind, bool animated) {
    screen->navigator_ = this;
    stack_.push_back(std::move(screen));
    transition_ = Transition{kind, animated, ++sequence_};
    Screen* s = stack_.back().get();
    s->loadViewIfNeeded();
    s->viewWillAppear();
    s->viewDidAppear();
}

void Navigator::popViewControllerAnimated(bool animated) {
    if (stack_.size() <= 1) return;
    removed_.push_back(std::move(stack_.back()));
    stack_.pop_back();
    transition_ = Transition{"pop", animated, ++sequence_};
    Screen* s = stack_.back().get();
    s->viewWillAppear();
    s->viewDidAppear();
}

void Navigator::removeScreensBetweenRootAndTop() {
    if (stack_.size() <= 2) return;
    for (auto it = stack_.begin() + 1; it != stack_.end() - 1; ++it)
        removed_.push_back(std::move(*it));
    stack_.erase(stack_.begin() + 1, stack_.end() - 1);
}

std::vector<std::string> Navigator::takeURLsToOpen() {
    std::vector<std::string> out;
    out.swap(urls_);
    return out;
}

Navigator* Navigator::shared() {
    return sharedNavigatorSlot();
}
void Navigator::setShared(Navigator* nav) {
    sharedNavigatorSlot() = nav;
    if (nav)
        LinkOpener::install([nav](const std::string& url) { nav->openURL(url); });
    else
        LinkOpener::install(nullptr);
}
