#pragma once
// The three-way merge of a page changed here and by another writer, by lines.
#include "store/PageFormat.h"

#include <string>

namespace pagelet {

struct MergedPage {
    Page page;
    bool overlapped = false; // both sides changed the same lines: ours, the marker line, theirs
};

// base is the page as both sides last had it. Lines changed on one side only are taken from
// it; lines added at the same place on both sides are kept both, ours first. Where the two
// sides changed the same lines the text is ours, then a line holding marker, then theirs. A
// weather mark changed on one side only is kept. Lines are joined with CR LF, as pages are.
MergedPage mergePages(const Page& base, const Page& ours, const Page& theirs, const std::u16string& marker);

// A copy made beside the page, with no base known: every line of either is kept, the lines
// both have once.
MergedPage mergeCopy(const Page& ours, const Page& copy, const std::u16string& marker);

} // namespace pagelet
