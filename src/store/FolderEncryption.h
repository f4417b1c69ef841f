#pragma once
// Which store a data folder gets, and its conversion between plain and sealed files.
#include "crypto/KeyFile.h"
#include "store/PlainPageStore.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pagelet {

// A data folder holding pagelet.key is encrypted, however far its conversion got.
bool isEncryptedFolder(const std::u16string& folder);
std::u16string keyFilePath(const std::u16string& folder);
// Whether the first few pages, memos or conflict copies of the folder hold a sealed file.
bool holdsSealedFile(const std::u16string& folder);
KeyFileRead readFolderKeyFile(const std::u16string& folder, const KdfLimits& limits = kFileKdfLimits);
// Writes the key file atomically; a failure leaves the old one as it was.
Outcome<void> writeFolderKeyFile(const std::u16string& folder, const KeyFile& file);

// The store for the folder: sealed files with a key, plain ones without.
std::unique_ptr<PlainPageStore> openPageStore(const std::u16string& folder, std::optional<DiaryKey> key);

struct Conversion {
    int converted = 0;                // files replaced by their other form
    std::vector<std::u16string> kept; // names left as they were: damaged, unreadable or unwritable
    std::vector<std::u16string> doubtful; // plain when unsealing, but not a page that reads whole
    bool folderRead = true;
};

// Told after each file: how many are done of how many.
using ConversionProgress = std::function<void(int done, int total)>;

// Every plain page, memo and conflict copy of the folder sealed, file by file, each replaced
// atomically; files already sealed are left. Killed at any moment, every file is whole in one
// form or the other and a second run finishes the work. The key file must be in place first.
Conversion sealFolder(const std::u16string& folder, const DiaryKey& key, const ConversionProgress& progress = {});
// Every sealed file opened back to the bytes it was sealed from; the key file is removed last,
// and only when no sealed file is left, after beforeKeyGoes (which forgets the folder's record).
Conversion unsealFolder(const std::u16string& folder, const DiaryKey& key, const ConversionProgress& progress = {},
                        const std::function<void()>& beforeKeyGoes = {});

} // namespace pagelet
