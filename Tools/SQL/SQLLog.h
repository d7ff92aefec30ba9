#pragma once
// Log lines of the access layer: one line each, to standard error.
#include <string>

namespace sqllog {
void line(const std::string& text);
// printf-style formatting for the %d/%s parts; %@ values are passed pre-rendered with %s.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
}  // namespace sqllog
