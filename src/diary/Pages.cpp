#include "app/MainDialog.h"

#include "app/Commands.h"
#include "base/ByteIo.h"
#include "base/FileIo.h"

#include <cstdio>
#include <string>

namespace pagelet {

// Plain page storage until the day files land.
namespace {
std::u16string keyOf(DayValue day)
{
    const LocalDate d = localDate(day);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%4d%.2d%.2d", d.year, d.month, d.day);
    return std::u16string(buf, buf + std::char_traits<char>::length(buf));
}
} // namespace

std::u16string MainDialog::pagePath(DayValue day) const
{
    return settings.dataPath + keyOf(day) + u".dry";
}

std::u16string MainDialog::memoPath(DayValue day) const
{
    return settings.dataPath + keyOf(day) + u".wav";
}

bool MainDialog::loadPage(DayValue day)
{
    auto bytes = readFile(pagePath(day));
    if (!bytes)
        return false;
    ByteReader r(*bytes);
    std::int32_t n = 0;
    r.getInt32(weather);
    r.getInt32(n);
    std::u16string text;
    r.getUnits(n, text);
    editor.setText(text);
    editor.setEditable(false);
    return true;
}

bool MainDialog::savePage(DayValue day)
{
    editor.setEditable(false);
    if (editor.text.empty()) {
        removeFile(pagePath(day));
        return false;
    }
    ByteWriter w;
    w.putInt32(weather);
    w.putInt32(static_cast<std::int32_t>(editor.text.size()));
    w.putUnits(editor.text);
    if (!writeFileAtomic(pagePath(day), w.bytes()))
        return false;
    editor.saved = true;
    return true;
}

bool MainDialog::storeShownPage()
{
    savePage(selectedDay);
    return true;
}

void MainDialog::showEmptyPage()
{
    weather = 0;
    editor.setText(u"");
    editor.setEditable(true);
}

void MainDialog::scanDayMarks() {}

} // namespace pagelet
