#pragma once
#include <string>

namespace pagelet {

struct CommandLine;

// --search and --export: they read the pages and print, with no window and no QApplication,
// and write nothing in the data folder or the registry. Each returns the exit status.
int runSearchCommand(const CommandLine& line);
int runExportCommand(const CommandLine& line);
// --import writes the imported days through the page store, all of them or none.
int runImportCommand(const CommandLine& line);

// The data folder as the start-up finds it ("Data Path", else the install's diary/), ending
// in "/"; empty when no install is registered.
std::u16string registeredDataFolder();
// --data DIR or the registered folder, ending in "/"; and 2 after a message when it can't be used.
std::u16string dataFolderOf(const CommandLine& line);
int checkDataFolder(const std::u16string& folder);
// Every command's error line on stderr: "pagelet: MESSAGE".
void fail(const std::string& message);

} // namespace pagelet
