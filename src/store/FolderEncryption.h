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
// The folder's files as they are on disk, for copies (a backup) made without the key: the key
// file's mark is taken as read, as nobody can check it there, and after it a plain page or memo
// is untrusted. Only copies are left to decide by it; the copies of the key file go along.
std::unique_ptr<PlainPageStore> openStoreForCopies(const std::u16string& folder);

struct Conversion {
    int converted = 0;                // files replaced by their other form
    std::vector<std::u16string> kept; // names left as they were: damaged, unreadable or unwritable
    std::vector<std::u16string> doubtful; // plain when unsealing, but not a page that reads whole
    bool folderRead = true;
    bool ended = false; // sealing: every file sealed, and the key file says so
};

// Told after each file: how many are done of how many.
using ConversionProgress = std::function<void(int done, int total)>;

// Every plain page, memo and conflict copy of the folder sealed, file by file, each replaced
// atomically; files already sealed are left. Killed at any moment, every file is whole in one
// form or the other and a second run finishes the work. The key file must be in place first;
// when every file is sealed, its mark is set.
Conversion sealFolder(const std::u16string& folder, const DiaryKey& key, const ConversionProgress& progress = {});
// Every sealed file opened back to the bytes it was sealed from; the key file is removed last,
// and only when no sealed file is left, after beforeKeyGoes (which forgets the folder's record).
Conversion unsealFolder(const std::u16string& folder, const DiaryKey& key, const ConversionProgress& progress = {},
                        const std::function<void()>& beforeKeyGoes = {});

} // namespace pagelet
