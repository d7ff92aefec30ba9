#pragma once
// The stack of screens. The bottom screen (the root) stays for the life of the navigator;
// screens above it are pushed and popped. A removed screen is destroyed only at the next
// drain(), after the event that removed it has finished, so an operation may pop its own
// screen and go on running.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Screen.h"

struct Transition {
    std::string kind;  // "push", "pop", "root"
    bool animated = false;
    uint64_t sequence = 0;
};

class Navigator {
  public:
    Navigator() = default;
    ~Navigator();
    Navigator(const Navigator&) = delete;
    Navigator& operator=(const Navigator&) = delete;

    // The bottom screen; it stays for the life of the navigator.
    void setRoot(std::unique_ptr<Screen> root);
    // Loads the screen (viewDidLoad) when needed, then will-appear, then did-appear.
    void pushViewController(std::unique_ptr<Screen> screen, bool animated);
    // Removes the top screen (never the root); the new top runs will-appear and
    // did-appear. The removed screen is destroyed after the current event (drain()).
    void popViewControllerAnimated(bool animated);

    Screen* top() const { return stack_.empty() ? nullptr : stack_.back().get(); }
    size_t depth() const { return stack_.size(); }
    Screen* at(size_t i) const { return stack_.at(i).get(); }
    const Transition& lastTransition() const { return transition_; }

    // Removes every screen between the root and the top, which stay; like popped screens
    // they are destroyed at the next drain().
    void removeScreensBetweenRootAndTop();

    // Destroys the screens removed since the last drain.
    void drain() { removed_.clear(); }

    // A text shown above every screen for as long as it is set ("": none).
    void setBanner(std::string text) { banner_ = std::move(text); }
    const std::string& banner() const { return banner_; }

    // Links the page should open in a new tab (the store link, an exported document).
    void openURL(const std::string& url) { urls_.push_back(url); }
    std::vector<std::string> takeURLsToOpen();

    // The navigator of the running app (set by start-up). It is also the platform's link
    // opener (LinkOpener), so that code below the toolkit can open a link.
    static Navigator* shared();
    static void setShared(Navigator* nav);

  private:
    // Puts the screen on top, loads it when needed and runs will-appear and did-appear.
    void show(std::unique_ptr<Screen> screen, const char* kind, bool animated);

    std::vector<std::unique_ptr<Screen>> stack_;
    std::vector<std::unique_ptr<Screen>> removed_;
    Transition transition_;
    uint64_t sequence_ = 0;
    std::vector<std::string> urls_;
    std::string banner_;
};
