#pragma once
// Work that must not hold up the app (a mail on its way to a slow server): it runs on a
// thread of its own, outside the app's lock, and touches none of the app's state (screens,
// stores, the shared connection, user defaults, the clock). What it returns, its completion,
// runs later on the app's one logical thread: deliver() runs the completions of the work that
// has ended, and only a caller holding the app's lock calls it (the web layer does, before
// every answer). While work is pending the page asks again now and then, so an outcome shows
// without the user doing anything.
#include <functional>

class BackgroundWork {
  public:
    using Completion = std::function<void()>;

    // Starts `work` on a new thread and returns at once. What `work` holds is released on its
    // thread, before its completion is handed on.
    static void start(std::function<Completion()> work);
    // Runs the completions of the work that has ended, in the order it was started.
    static void deliver();
    // Whether work has been started whose completion has not run yet.
    static bool pending();
    // Blocks until every work started has ended; its completion still waits for deliver().
    static void waitUntilEnded();

    // Whether work should give up at once: the program is ending.
    static bool stopping();
    // Asks every work to give up (stopping()), waits for all of it and drops the completions:
    // at exit, and between tests.
    static void stopAll();
};
