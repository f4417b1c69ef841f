#pragma once
#include "crypto/SecureBytes.h"
#include "store/PlainPageStore.h"

#include <memory>
#include <optional>
#include <string>

namespace pagelet {

struct CommandLine;

// The passphrase: the first line of --passphrase-fd N, else asked on the terminal without
// echo, twice when a new one is chosen. Nothing after a message.
std::optional<SecureBytes> readPassphrase(const CommandLine& line, bool twice);
// The store a command reads and writes the folder through: plain pages as they are, an
// encrypted diary after its passphrase (or recovery key). Nothing after a message, with the
// exit status in status: 2, as for a wrong passphrase.
std::unique_ptr<PlainPageStore> openDiaryFor(const CommandLine& line, const std::u16string& folder, int& status);

// --encrypt and --decrypt: 0, or 2 after a message.
int runEncryptCommand(const CommandLine& line);
int runDecryptCommand(const CommandLine& line);

} // namespace pagelet
