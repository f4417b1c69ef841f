#include "import/JsonJournal.h"

#include "base/Text.h"
#include "import/CivilTime.h"
#include "import/SourceText.h"

#include <nlohmann/json.hpp>

namespace pagelet {

namespace {

using nlohmann::json;

[[noreturn]] void refuse(const std::string& where, const std::string& why)
{
    throw ImportRefused(where + ": " + why);
}

// A text member, or empty when it is missing or null; any other type is damage.
std::string textOf(const json& entry, const char* key, const std::string& where)
{
    const auto it = entry.find(key);
    if (it == entry.end() || it->is_null())
        return {};
    if (!it->is_string())
        refuse(where, std::string("\"") + key + "\" is not text");
    return it->get<std::string>();
}

std::vector<std::u16string> tagsOf(const json& entry, const std::string& where)
{
    std::vector<std::u16string> tags;
    const auto it = entry.find("tags");
    if (it == entry.end() || it->is_null())
        return tags;
    if (!it->is_array())
        refuse(where, "\"tags\" is not a list");
    for (const auto& tag : *it) {
        if (!tag.is_string())
            refuse(where, "a tag is not text");
        tags.push_back(fromUtf8(tag.get<std::string>()));
    }
    return tags;
}

// Pictures, sound and documents are named by the file the export keeps them in.
void addAttachments(const json& entry, const char* key, const char* folder, ImportEntry& out)
{
    const auto it = entry.find(key);
    if (it == entry.end() || !it->is_array())
        return;
    for (const auto& item : *it) {
        if (!item.is_object())
            continue;
        const std::string md5 = item.value("md5", std::string());
        const std::string type = item.value("type", std::string());
        if (!md5.empty())
            out.attachments.push_back(fromUtf8(std::string(folder) + "/" + md5 + (type.empty() ? "" : "." + type)));
    }
}

// The photo journal writes its text as Markdown, with a backslash before each mark that is meant
// as a letter (1\. or \- at a line's start): the page shows the letter.
constexpr std::string_view kAsciiMarks = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";

std::string withoutEscapes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : 0;
        if (text[i] == '\\' && next != 0 && kAsciiMarks.find(next) != std::string_view::npos)
            ++i;
        out += text[i];
    }
    return out;
}

ImportEntry readStamped(const json& entry, const std::string& where)
{
    ImportEntry out;
    out.utcSeconds = parseUtcStamp(textOf(entry, "creationDate", where));
    if (!out.utcSeconds)
        refuse(where, "\"creationDate\" is no date and time within the years 1000 to 9999");
    out.zone = textOf(entry, "timeZone", where);
    out.body = fromUtf8(withoutEscapes(textOf(entry, "text", where)));
    out.tags = tagsOf(entry, where);
    addAttachments(entry, "photos", "photos", out);
    addAttachments(entry, "audios", "audios", out);
    addAttachments(entry, "videos", "videos", out);
    addAttachments(entry, "pdfAttachments", "pdfs", out);
    return out;
}

ImportEntry readDated(const json& entry, const std::string& where)
{
    ImportEntry out;
    const auto date = parseIsoDate(textOf(entry, "date", where));
    if (!date)
        refuse(where, "\"date\" is no date YYYY-MM-DD within the years 1000 to 9999");
    out.date = *date;
    if (const std::string time = textOf(entry, "time", where); !time.empty()) {
        const auto clock = parseClock(time);
        if (!clock)
            refuse(where, "\"time\" is no time HH:MM");
        out.hour = clock->first;
        out.minute = clock->second;
    }
    out.title = fromUtf8(textOf(entry, "title", where));
    out.body = fromUtf8(textOf(entry, "body", where));
    out.tags = tagsOf(entry, where);
    return out;
}

} // namespace

std::vector<ImportEntry> readJsonJournal(std::string_view text, const std::string& origin)
{
    // Bytes that are no UTF-8 become U+FFFD rather than a refusal of the whole journal.
    const std::string clean = wellFormedUtf8(withoutByteOrderMark(text));
    json document;
    try {
        document = json::parse(clean.begin(), clean.end());
    } catch (const json::exception& error) { // a number too large to hold comes as out_of_range
        refuse(origin, std::string("damaged JSON (") + error.what() + ")");
    }
    const auto entries = document.is_object() ? document.find("entries") : document.end();
    if (entries == document.end() || !entries->is_array())
        refuse(origin, "no journal: a JSON journal holds a list of \"entries\"");
    std::vector<ImportEntry> out;
    out.reserve(entries->size());
    for (std::size_t i = 0; i < entries->size(); ++i) {
        const json& entry = (*entries)[i];
        const std::string where = origin + ", entry " + std::to_string(i + 1);
        if (!entry.is_object())
            refuse(where, "not an entry");
        try {
            out.push_back(entry.contains("creationDate") ? readStamped(entry, where) : readDated(entry, where));
        } catch (const json::exception& error) {
            refuse(where, error.what());
        }
        out.back().origin = where;
    }
    return out;
}

} // namespace pagelet
