#pragma once
// User defaults store: text values by text key, kept across runs in one JSON file
// ("user-defaults.json") in the documents directory.
#include <map>
#include <string>

#include "platform/Text.h"

class UserDefaults {
  public:
    // The process-wide store, loaded from the documents directory on first use.
    static UserDefaults& standardUserDefaults();
    // Drops the process-wide store so the next call reloads it (tests, a new data dir).
    static void resetStandardUserDefaults();

    explicit UserDefaults(std::string filePath);

    Text stringForKey(const std::string& key) const;
    void setObject_forKey(const std::string& value, const std::string& key);
    void removeObjectForKey(const std::string& key);
    // Writes the file atomically: temporary file, fsync, rename, fsync of the directory.
    // False when the write failed (the old file is then still intact). When nothing changed
    // since the file was last read or written it already holds every value: nothing to do.
    bool synchronize();

    // Removes the temporary copies a write interrupted between writing and renaming left
    // beside the file (the file itself is then still the old, whole one); the count removed.
    // Only while no other process can be writing: at start.
    int removeLeftoverTemporaryFiles() const;

    const std::map<std::string, std::string>& values() const { return values_; }
    const std::string& filePath() const { return path_; }

  private:
    void load();
    std::string path_;
    std::map<std::string, std::string> values_;
    bool dirty_ = true;  // values_ differ from the file, or the file is not known to exist
};
