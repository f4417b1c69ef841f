#pragma once
#include "base/Outcome.h"
#include "state/BackupReader.h"

#include <string>
#include <vector>

namespace pagelet {

class PageStore;

// Writes the backup of the store's files (and configFile, when it exists) to zip atomically,
// each file read through one buffer and never through a link: a failure leaves zip as it was.
// A file the store does not trust is left out, and named in leftOut.
Outcome<void> writeBackup(const PageStore& store, const std::u16string& configFile, const std::u16string& zip,
                          std::vector<std::u16string>* leftOut = nullptr);
// Reads every member and checks it (see readBackup); never trusts a name or a size.
BackupCheck verifyBackup(const std::u16string& zip, const BackupLimits& limits = {});
// Into folder, which must be new or empty and is made private to its owner, and only from a
// whole backup of diary files; nothing is written otherwise. The settings file is left out
// (check.leftOut names it). check receives what was found, whole or not.
Outcome<void> restoreBackup(const std::u16string& zip, const std::u16string& folder, BackupCheck& check,
                          const BackupLimits& limits = {});

} // namespace pagelet
