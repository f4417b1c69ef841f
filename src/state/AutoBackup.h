#pragma once
#include "base/Day.h"
#include "base/Outcome.h"

#include <string>
#include <vector>

namespace pagelet {

// Which daily backups ("YYYY-MM-DD.zip") to keep: the 7 newest days, the newest of each of the
// 4 newest weeks and of each of the 12 newest months. The rest, by name, to remove.
std::vector<std::string> backupsToRemove(std::vector<std::string> names);

// The day's backup into folder, once a day: "YYYY-MM-DD.zip", then the old ones thinned. A
// failure is said once a day, never more; the diary goes on either way.
class AutoBackup {
public:
    // A folder the user chose (a USB stick) must be there: one made in its place while the stick
    // is out would fill the disk it is mounted on.
    AutoBackup(std::u16string folder, std::u16string dataFolder, std::u16string configFile, bool chosen = false);

    // True when today has no backup yet.
    bool due(const LocalDate& today) const;
    // Fails only when a due backup could not be written.
    Outcome<void> run(const LocalDate& today);
    // True the first time today a failure should be said; notes that it was.
    bool shouldTell(const LocalDate& today);

    const std::u16string& folder() const { return m_folder; }

private:
    std::u16string m_folder;
    std::u16string m_dataFolder;
    std::u16string m_configFile;
    bool m_chosen = false;
};

} // namespace pagelet
