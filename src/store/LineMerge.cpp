#include "store/LineMerge.h"

#include "store/LineDiff.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace pagelet {

namespace {

using Lines = std::vector<std::u16string>;

// Lines without their breaks: a text that ends in a break ends with an empty line, and an
// empty text has none. A lone LF from another tool counts as a break too.
Lines splitLines(const std::u16string& text)
{
    Lines lines;
    if (text.empty())
        return lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t lf = text.find(u'\n', start);
        const std::size_t end = lf == std::u16string::npos ? text.size() : lf;
        lines.push_back(text.substr(start, end - start - (end > start && text[end - 1] == u'\r' ? 1 : 0)));
        if (lf == std::u16string::npos)
            return lines;
        start = lf + 1;
    }
}

std::u16string joinLines(const Lines& lines)
{
    std::u16string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? u"\r\n" : u"") + lines[i];
    return text;
}

// One side's change: base lines [from, to) became lines.
struct Hunk {
    std::size_t from = 0;
    std::size_t to = 0;
    Lines lines;
    bool operator==(const Hunk&) const = default;
};

std::vector<Hunk> hunksOf(const Lines& base, const Lines& side)
{
    std::vector<Hunk> hunks;
    std::size_t at = 0;   // base lines passed
    std::size_t next = 0; // side lines passed
    bool open = false;
    for (const LineStep step : diffLines(base, side)) {
        if (step == LineStep::Common) {
            open = false;
            ++at;
            ++next;
            continue;
        }
        if (!open)
            hunks.push_back({at, at, {}});
        open = true;
        if (step == LineStep::Removed)
            hunks.back().to = ++at;
        else
            hunks.back().lines.push_back(side[next++]);
    }
    return hunks;
}

// The same base lines touched by both, or one side's insertion inside the other's replaced run.
bool overlap(const Hunk& a, const Hunk& b)
{
    if (a.from == a.to && b.from == b.to)
        return false; // two insertions: the caller keeps both
    if (a.from == a.to)
        return b.from < a.from && a.from < b.to;
    if (b.from == b.to)
        return a.from < b.from && b.from < a.to;
    return a.from < b.to && b.from < a.to;
}

std::optional<Lines> merge3(const Lines& base, const Lines& ours, const Lines& theirs)
{
    const auto o = hunksOf(base, ours);
    const auto t = hunksOf(base, theirs);
    Lines out;
    std::size_t at = 0;
    const auto apply = [&](const Hunk& h) {
        out.insert(out.end(), base.begin() + static_cast<std::ptrdiff_t>(at), base.begin() + static_cast<std::ptrdiff_t>(h.from));
        out.insert(out.end(), h.lines.begin(), h.lines.end());
        at = h.to;
    };
    std::size_t i = 0, j = 0;
    while (i < o.size() || j < t.size()) {
        if (i < o.size() && j < t.size()) {
            const Hunk& a = o[i];
            const Hunk& b = t[j];
            if (a == b) {
                apply(a);
                ++i, ++j;
                continue;
            }
            if (overlap(a, b))
                return std::nullopt;
            if (a.from == a.to && b.from == b.to && a.from == b.from) {
                apply(a);
                apply(b);
                ++i, ++j;
                continue;
            }
            // The earlier first; at the same line an insertion goes before a replacement.
            const bool oursFirst = a.from < b.from || (a.from == b.from && a.from == a.to);
            apply(oursFirst ? o[i++] : t[j++]);
            continue;
        }
        apply(i < o.size() ? o[i++] : t[j++]);
    }
    out.insert(out.end(), base.begin() + static_cast<std::ptrdiff_t>(at), base.end());
    return out;
}

std::int32_t mergeWeather(std::int32_t base, std::int32_t ours, std::int32_t theirs)
{
    return ours == base ? theirs : ours;
}

MergedPage mergeLines(const Lines& base, const Page& ours, const Page& theirs, std::int32_t weather, const std::u16string& marker)
{
    const Lines o = splitLines(ours.text);
    const Lines t = splitLines(theirs.text);
    if (const auto merged = merge3(base, o, t))
        return {{weather, joinLines(*merged)}, false};
    Lines both = o;
    both.push_back(marker);
    both.insert(both.end(), t.begin(), t.end());
    return {{weather, joinLines(both)}, true};
}

} // namespace

MergedPage mergePages(const Page& base, const Page& ours, const Page& theirs, const std::u16string& marker)
{
    return mergeLines(splitLines(base.text), ours, theirs, mergeWeather(base.weather, ours.weather, theirs.weather), marker);
}

MergedPage mergeCopy(const Page& ours, const Page& copy, const std::u16string& marker)
{
    // The lines both have stand for the base: each side then only added, and nothing is lost.
    const Lines o = splitLines(ours.text);
    Lines common;
    std::size_t at = 0; // our lines passed
    for (const LineStep step : diffLines(o, splitLines(copy.text))) {
        if (step == LineStep::Common)
            common.push_back(o[at]);
        if (step != LineStep::Added)
            ++at;
    }
    return mergeLines(common, ours, copy, ours.weather ? ours.weather : copy.weather, marker);
}

} // namespace pagelet
