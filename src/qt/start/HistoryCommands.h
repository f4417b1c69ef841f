#pragma once

namespace pagelet {

struct CommandLine;

// --history lists a day's kept versions (exit 1 when none); --restore makes one the page
// (exit 2 on an error). Neither needs a display.
int runHistoryCommand(const CommandLine& line);
int runRestoreCommand(const CommandLine& line);
// --backup, --verify-backup, --restore-backup: exit 0, or 2 after naming what is wrong.
int runBackupCommand(const CommandLine& line);
int runVerifyBackupCommand(const CommandLine& line);
int runRestoreBackupCommand(const CommandLine& line);

} // namespace pagelet
