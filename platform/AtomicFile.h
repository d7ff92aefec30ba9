#pragma once
// Replacing a small file all or nothing: a crash or a full disk leaves the old file or the new
// one, never a part of either.
#include <sys/types.h>

#include <string>

namespace AtomicFile {

// Writes `bytes` to a temporary file beside `path` ("<path>.tmp-XXXXXX", with `mode`), syncs
// it, renames it over `path` and syncs the folder. False (the temporary file removed, `path`
// as it was) when any step fails.
bool replace(const std::string& path, const std::string& bytes, mode_t mode);

// Removes the temporary copies a replace() interrupted between writing and renaming left
// beside `path` (the file itself is then still the old, whole one); the count removed. Only
// while no other process can be writing: at start.
int removeLeftovers(const std::string& path);

}  // namespace AtomicFile
