#include "import/MonthFile.h"

#include "base/Text.h"
#include "import/CivilTime.h"

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <sstream>

namespace pagelet {

namespace {

// Walks the events once before the document is built, to refuse what no month file holds.
class AliasCheck : public YAML::EventHandler {
public:
    explicit AliasCheck(std::string origin) : m_origin(std::move(origin)) {}
    void OnDocumentStart(const YAML::Mark&) override {}
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark&, YAML::anchor_t) override {}
    void OnAlias(const YAML::Mark& mark, YAML::anchor_t) override
    {
        throw ImportRefused(m_origin + ": line " + std::to_string(mark.line + 1)
                            + ": aliases are not taken in a month file");
    }
    void OnScalar(const YAML::Mark&, const std::string&, YAML::anchor_t, const std::string&) override {}
    void OnSequenceStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {}
    void OnSequenceEnd() override {}
    void OnMapStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {}
    void OnMapEnd() override {}

private:
    std::string m_origin;
};

} // namespace

std::vector<ImportEntry> readMonthFile(std::string_view text, int year, int month, const std::string& origin)
{
    std::vector<ImportEntry> out;
    try {
        {
            std::istringstream stream {std::string(text)};
            YAML::Parser parser(stream);
            AliasCheck check(origin);
            while (parser.HandleNextDocument(check)) {
            }
        }
        const YAML::Node root = YAML::Load(std::string(text));
        if (root.IsNull())
            return out;
        if (!root.IsMap())
            throw ImportRefused(origin + ": no month file: it maps day numbers to entries");
        for (const auto& item : root) {
            const int day = item.first.as<int>();
            const LocalDate date {year, month, day};
            const std::string where = origin + ", day " + item.first.Scalar();
            if (!isImportableDate(date))
                throw ImportRefused(where + ": no such day in the month");
            const YAML::Node& content = item.second;
            if (!content.IsMap())
                throw ImportRefused(where + ": the day holds no entry");
            ImportEntry entry;
            entry.date = date;
            entry.origin = where;
            if (const YAML::Node body = content["text"]; body && !body.IsNull())
                entry.body = fromUtf8(body.as<std::string>());
            if (const YAML::Node tags = content["Tags"]; tags && tags.IsMap())
                for (const auto& tag : tags)
                    entry.tags.push_back(fromUtf8(tag.first.as<std::string>()));
            if (!entry.body.empty() || !entry.tags.empty())
                out.push_back(std::move(entry));
        }
    } catch (const YAML::Exception& error) {
        throw ImportRefused(origin + ": damaged YAML (" + error.what() + ")");
    }
    return out;
}

} // namespace pagelet
