#pragma once
// Files compiled into the program from resources/ and web/static/ (see cmake/embed.cmake).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Path relative to the source root, e.g. "resources/en.json" or "web/static/index.html".
std::optional<std::string_view> embeddedFile(const std::string& path);
std::vector<std::string> embeddedFileNames();
