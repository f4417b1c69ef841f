#pragma once
// A source folder and a diary to import into, on fixed time zones.
#include "diary/DiaryRig.h"
#include "import/DayImport.h"
#include "import/ImportSource.h"
#include "platform/ZoneOffsets.h"

#include <map>

namespace pagelet::importtest {

using testing::TempFolder;
namespace fs = std::filesystem;

// Fixed offsets: enough for the day boundaries the tests cross.
class TableZones : public ZoneOffsets {
public:
    std::optional<int> offsetAt(const std::string& zone, std::int64_t) const override
    {
        static const std::map<std::string, int> kZones {{"America/Los_Angeles", -8 * 3600}, {"Asia/Seoul", 9 * 3600}};
        const auto it = kZones.find(zone);
        return it == kZones.end() ? std::nullopt : std::optional(it->second);
    }
};

inline void write(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

struct Import {
    TempFolder source {"import-src"};
    TempFolder data {"import-data"};
    PlainPageStore store {data.folder()};

    // Reads name (a file or a folder under source), plans and writes; the error, or empty.
    std::string run(const std::string& name, std::size_t maxUnits = kMaxPageUnits, const SourceLimits& limits = {})
    {
        last = {};
        const auto read = readImportSource(fromUtf8((source.root / name).string()), limits);
        if (!read)
            return read.error();
        auto planned = planImport(*read, store, TableZones(), maxUnits);
        if (!planned)
            return planned.error();
        last = std::move(*planned);
        return applyImport(last, store).error();
    }
    std::u16string page(const LocalDate& date) const { return store.read(date).page.text; }
    ImportPlan last;
};

} // namespace pagelet::importtest
