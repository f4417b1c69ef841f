#include "import/MonthFile.h"

#include "base/ChildRun.h"
#include "base/LateLibrary.h"
#include "base/Text.h"

#include <algorithm>
#include <stdexcept>

namespace pagelet {

namespace {

// The child's answer (see the module's encoding): "R" and the refusal, or "E" and per entry
// its day, origin, text and tags, each string led by its length.
std::string takeString(std::string_view& in)
{
    const std::size_t colon = in.find(':');
    if (colon == std::string_view::npos || colon == 0)
        throw std::runtime_error("cut");
    const std::size_t size = std::stoul(std::string(in.substr(0, colon)));
    if (size > in.size() - colon - 1)
        throw std::runtime_error("cut");
    const std::string text(in.substr(colon + 1, size));
    in.remove_prefix(colon + 1 + size);
    return text;
}

std::vector<ImportEntry> decode(std::string_view in, int year, int month)
{
    if (in.starts_with('R'))
        throw ImportRefused(std::string(in.substr(1)));
    in.remove_prefix(1);
    std::vector<ImportEntry> out;
    while (!in.empty()) {
        ImportEntry entry;
        entry.date = {year, month, std::stoi(takeString(in))};
        entry.origin = takeString(in);
        entry.body = fromUtf8(takeString(in));
        for (std::size_t tags = std::stoul(takeString(in)); tags > 0; --tags)
            entry.tags.push_back(fromUtf8(takeString(in)));
        out.push_back(std::move(entry));
    }
    return out;
}

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::optional<std::pair<int, int>> monthOfFileName(std::string_view name)
{
    if (name.size() != 11 || !name.ends_with(".txt") || name[4] != '-' || !allDigits(name.substr(0, 4))
        || !allDigits(name.substr(5, 2)))
        return std::nullopt;
    return std::pair {std::stoi(std::string(name.substr(0, 4))), std::stoi(std::string(name.substr(5, 2)))};
}

std::vector<ImportEntry> readMonthFile(std::string_view text, int year, int month, const std::string& origin,
                                       std::chrono::milliseconds limit)
{
    // The parser is a module of its own: the YAML library would cost every start its loading.
    static const LateLibrary module(moduleFile("libpagelet-yaml.so"));
    static MonthYamlEntry* const encode = [] {
        MonthYamlEntry* found = nullptr;
        module.find(found, kMonthYamlEntry);
        return found;
    }();
    // It loops for ever on some damaged files, more than any check before it can foresee: it
    // runs in a child that is stopped at the limit.
    const ChildResult child = runInChild([&] {
        std::string out;
        encode(text.data(), text.size(), year, month, origin.c_str(), &out);
        return out;
    }, limit);
    if (child.end == ChildResult::End::TimedOut)
        throw ImportRefused(origin + ": damaged YAML (its reading did not end within "
                            + (limit.count() % 1000 == 0 ? std::to_string(limit.count() / 1000) + " s)"
                                                         : std::to_string(limit.count()) + " ms)"));
    if (child.end == ChildResult::End::Failed || child.output.empty())
        throw ImportRefused(origin + ": damaged YAML (its reader failed on it)");
    try {
        return decode(child.output, year, month);
    } catch (const ImportRefused&) {
        throw;
    } catch (const std::exception&) {
        throw ImportRefused(origin + ": damaged YAML (its reader's answer was cut)");
    }
}

} // namespace pagelet
