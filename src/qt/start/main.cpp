#include "qt/start/CommandLine.h"
#include "qt/start/DiaryApp.h"
#include "qt/start/DiaryCommands.h"
#include "qt/start/DiaryUnlock.h"
#include "qt/start/HistoryCommands.h"
#include "qt/start/UiTranslations.h"

#include <cstdio>
#include <optional>

int main(int argc, char* argv[])
{
    // Answered before Qt starts: no display is needed to ask for help.
    const auto line = pagelet::CommandLine::parse(argc, argv);
    using Action = pagelet::CommandLine::Action;
    switch (line.action) {
    case Action::Help:
        std::fputs(pagelet::CommandLine::usage().c_str(), stdout);
        return 0;
    case Action::Version:
        std::fputs(pagelet::CommandLine::version().c_str(), stdout);
        return 0;
    case Action::Bad:
        std::fprintf(stderr, "pagelet: %s\n%s", line.badOption.c_str(),
                     pagelet::CommandLine::usage().c_str());
        return 2;
    default:
        break;
    }
    // Only the window speaks through an application object; a command's written words need this.
    std::optional<pagelet::CommandTexts> texts;
    if (line.action != Action::Run)
        texts.emplace();
    switch (line.action) {
    case Action::Search:
        return pagelet::runSearchCommand(line);
    case Action::Export:
        return pagelet::runExportCommand(line);
    case Action::Import:
        return pagelet::runImportCommand(line);
    case Action::History:
        return pagelet::runHistoryCommand(line);
    case Action::Restore:
        return pagelet::runRestoreCommand(line);
    case Action::Backup:
        return pagelet::runBackupCommand(line);
    case Action::VerifyBackup:
        return pagelet::runVerifyBackupCommand(line);
    case Action::RestoreBackup:
        return pagelet::runRestoreBackupCommand(line);
    case Action::Encrypt:
        return pagelet::runEncryptCommand(line);
    case Action::Decrypt:
        return pagelet::runDecryptCommand(line);
    case Action::Help:
    case Action::Version:
    case Action::Bad:
    case Action::Run:
        break;
    }
    pagelet::DiaryApp app(argc, argv);
    return app.InitInstance(line.desktop);
}
