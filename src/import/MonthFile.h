#pragma once
// A month file of a YAML diary ("YYYY-MM.txt"): day number -> {text: ..., Tags: {name: ...}}.
#include "import/ImportEntry.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagelet {

// Throws ImportRefused for damaged YAML, aliases (the file format has none, and they are how a
// small file expands without end), or a day that the month doesn't have; also when reading it
// takes longer than limit (the parser runs in a child process, stopped then).
std::vector<ImportEntry> readMonthFile(std::string_view text, int year, int month, const std::string& origin,
                                       std::chrono::milliseconds limit = std::chrono::seconds(10));

// The year and month of a month file's name "YYYY-MM.txt", or nothing for any other name.
std::optional<std::pair<int, int>> monthOfFileName(std::string_view name);

// The module's entry: the entries of text, encoded, or nothing when its reader failed.
using MonthYamlEntry = void(const char* text, std::size_t size, int year, int month, const char* origin, std::string* out);
inline constexpr char kMonthYamlEntry[] = "pagelet_month_yaml";

} // namespace pagelet
