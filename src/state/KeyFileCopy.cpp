#include "state/KeyFileCopy.h"

#include "base/FileIo.h"
#include "base/ReadableFile.h"
#include "crypto/KeyFile.h"
#include "store/FolderEncryption.h"

namespace pagelet {

namespace {
const std::u16string kKind = u"keys";
}

std::u16string KeyFileCopy::keyFileCopyPath() const
{
    return m_state.folder(kKind) + kKeyFileName;
}

std::optional<Bytes> KeyFileCopy::read() const
{
    ReadableFile file(keyFileCopyPath(), 4096, ReadableFile::Links::Refuse);
    if (file.state() != ReadableFile::State::Open)
        return std::nullopt;
    return file.readAll();
}

bool KeyFileCopy::keep(const Bytes& keyFile) const
{
    if (read() == keyFile)
        return true;
    return m_state.write(kKind, kKeyFileName, keyFile);
}

bool KeyFileCopy::keepFrom(const std::u16string& dataFolder) const
{
    ReadableFile file(keyFilePath(dataFolder), 4096);
    const auto bytes = file.readAll();
    return bytes && keep(*bytes);
}

bool KeyFileCopy::putBack(const std::u16string& dataFolder) const
{
    const auto bytes = read();
    return bytes && writeFileAtomic(keyFilePath(dataFolder), *bytes);
}

bool KeyFileCopy::forget() const
{
    return !isFile(keyFileCopyPath()) || removeFile(keyFileCopyPath());
}

FolderLock folderLock(const std::u16string& folder, const KeyFileCopy& copy)
{
    if (isEncryptedFolder(folder))
        return FolderLock::Encrypted;
    if (isFile(copy.keyFileCopyPath()) || holdsSealedFile(folder))
        return FolderLock::KeyMissing;
    return FolderLock::Plain;
}

} // namespace pagelet
