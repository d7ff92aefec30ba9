#pragma once
// The application's documents directory: holds voice.sqlite, the user defaults file,
// the CSV export and mail drafts.
#include <optional>
#include <string>

class DocumentsDirectory {
  public:
    // Resolution order: the explicit directory (--data-dir), else $MARROWKEEPER_HOME,
    // else $XDG_DATA_HOME/marrowkeeper, else ~/.local/share/marrowkeeper.
    static std::string resolve(const std::optional<std::string>& explicitDir);

    // The directory in use for this process; set once at start-up (or by tests).
    static const std::string& path();
    static void setPath(const std::string& dir);

    // Creates the directory (and parents) when missing. False when it cannot be
    // created or is not a writable directory; `error` then says why.
    static bool ensure(const std::string& dir, std::string* error = nullptr);

    // path() + "/" + name
    static std::string file(const std::string& name);
    // A "file://" link to that file (the path percent-encoded), for Navigator::openURL: the
    // page offers such a document as a download.
    static std::string fileURL(const std::string& name);
};
