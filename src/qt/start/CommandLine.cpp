#include "qt/start/CommandLine.h"

#include <cstdlib>
#include <string_view>
#include <tuple>

#ifndef PAGELET_VERSION
#define PAGELET_VERSION "0"
#endif

namespace pagelet {

namespace {

// "--name VALUE" or "--name=VALUE"; false when a = name but no value follows.
bool takeValue(std::string_view a, std::string_view name, int argc, char** argv, int& i, std::string& value,
               bool& matched)
{
    matched = false;
    if (a == name) {
        matched = true;
        if (i + 1 >= argc)
            return false;
        value = argv[++i];
        return true;
    }
    if (a.size() > name.size() && a.starts_with(name) && a[name.size()] == '=') {
        matched = true;
        value = std::string(a.substr(name.size() + 1));
        return true;
    }
    return true;
}

CommandLine bad(std::string why)
{
    CommandLine line;
    line.action = CommandLine::Action::Bad;
    line.badOption = std::move(why);
    return line;
}

} // namespace

CommandLine CommandLine::parse(int argc, char** argv)
{
    CommandLine line;
    bool passphraseGiven = false;
    bool search = false, exporting = false, importing = false, data = false, history = false, restoring = false;
    bool backup = false, verifying = false, unpacking = false, encrypting = false, decrypting = false;
    std::string passphraseFd;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            line.action = Action::Help;
            return line;
        }
        bool matched = false;
        for (auto [name, value, seen] : {std::tuple {"--search", &line.word, &search},
                                         std::tuple {"--export", &line.file, &exporting},
                                         std::tuple {"--import", &line.source, &importing},
                                         std::tuple {"--history", &line.day, &history},
                                         std::tuple {"--restore", &line.day, &restoring},
                                         std::tuple {"--backup", &line.zip, &backup},
                                         std::tuple {"--verify-backup", &line.zip, &verifying},
                                         std::tuple {"--restore-backup", &line.zip, &unpacking},
                                         std::tuple {"--data", &line.dataDir, &data},
                                         std::tuple {"--passphrase-fd", &passphraseFd, &passphraseGiven}}) {
            if (!takeValue(a, name, argc, argv, i, *value, matched))
                return bad(std::string(name) + " needs a value");
            if (matched) {
                *seen = true;
                break;
            }
        }
        if (matched)
            continue;
        // "--version N" picks a version to restore; "--version" alone asks for the program's.
        if (a == "--version" && i + 1 < argc && argv[i + 1][0] >= '0' && argv[i + 1][0] <= '9')
            line.versionNumber = argv[++i];
        else if (a == "--version")
            line.action = Action::Version;
        else if (a == "--desktop")
            line.desktop = true;
        else if (a == "--match-case")
            line.matchCase = true;
        else if (a == "--dry-run")
            line.dryRun = true;
        else if (a == "--encrypt")
            encrypting = true;
        else if (a == "--decrypt")
            decrypting = true;
        else
            return bad("unknown option '" + std::string(a) + "'");
    }
    if (int(search) + int(exporting) + int(importing) + int(history) + int(restoring) + int(backup) + int(verifying) +
            int(unpacking) + int(encrypting) + int(decrypting) > 1)
        return bad("--search, --export, --import, --history, --restore, the backup options, --encrypt and --decrypt go one at a time");
    if (passphraseGiven) {
        char* end = nullptr;
        const long fd = std::strtol(passphraseFd.c_str(), &end, 10);
        if (passphraseFd.empty() || *end || fd < 0 || fd > 65535)
            return bad("--passphrase-fd needs a file descriptor number");
        line.passphraseFd = static_cast<int>(fd);
        if (!search && !exporting && !importing && !history && !restoring && !backup && !encrypting && !decrypting)
            return bad("--passphrase-fd goes with a command that reads the diary");
    }
    if (unpacking && !data)
        return bad("--restore-backup FILE.zip goes with --data DIR, a new or empty folder");
    if ((backup || verifying || unpacking) && line.zip.empty())
        return bad("the backup options need a zip file");
    if (restoring != !line.versionNumber.empty())
        return bad("--restore DATE goes with --version N");
    if (line.matchCase && !search)
        return bad("--match-case goes with --search");
    if (line.dryRun && !importing)
        return bad("--dry-run goes with --import");
    if (data && !search && !exporting && !importing && !history && !restoring && !backup && !unpacking && !encrypting &&
        !decrypting)
        return bad("--data goes with --search, --export, --import, --history, --restore, --backup, --restore-backup, "
                   "--encrypt or --decrypt");
    if (importing && line.source.empty())
        return bad("--import needs a file or folder");
    if (search && line.word.empty())
        return bad("--search needs a word that is not empty");
    if (line.action != Action::Version)
        line.action = search ? Action::Search : exporting ? Action::Export : importing ? Action::Import
            : history ? Action::History : restoring ? Action::Restore : backup ? Action::Backup
            : verifying ? Action::VerifyBackup : unpacking ? Action::RestoreBackup : encrypting ? Action::Encrypt
            : decrypting ? Action::Decrypt : line.action;
    return line;
}

std::string CommandLine::usage()
{
    return "Usage: pagelet [--desktop]\n"
           "       pagelet --search WORD [--match-case] [--data DIR]\n"
           "       pagelet --export FILE.md|FILE.html [--data DIR]\n"
           "       pagelet --import PATH [--dry-run] [--data DIR]\n"
           "       pagelet --history YYYY-MM-DD [--data DIR]\n"
           "       pagelet --restore YYYY-MM-DD --version N [--data DIR]\n"
           "       pagelet --backup FILE.zip [--data DIR]\n"
           "       pagelet --verify-backup FILE.zip\n"
           "       pagelet --restore-backup FILE.zip --data DIR\n"
           "       pagelet --encrypt|--decrypt [--passphrase-fd N] [--data DIR]\n"
           "A personal diary: one page per day, a month calendar, weather marks and skins.\n"
           "\n"
           "  --desktop       make the user's install in ${XDG_DATA_HOME:-~/.local/share}/Pagelet\n"
           "                  when none is registered yet, then open the diary\n"
           "  --search WORD   print each day whose page holds WORD, oldest first, as\n"
           "                  'YYYY-MM-DD: ' and the page's first line with it; exit 0 when\n"
           "                  a day matched, 1 when none did, 2 on an error\n"
           "  --match-case    tell upper and lower case apart in --search\n"
           "  --export FILE   write the whole diary, oldest day first, to FILE: Markdown when\n"
           "                  it ends in .md, one HTML page when it ends in .html\n"
           "  --import PATH   take in another diary's entries: a JSON journal export,\n"
           "                  a plain-text journal ('[YYYY-MM-DD HH:MM] title' lines), a\n"
           "                  folder of month files (YYYY-MM.txt), of daily notes\n"
           "                  (YYYY-MM-DD.md) or of journal days (YYYY/MM/DD.txt); each day's\n"
           "                  entries follow what its page already holds; exit 2 and write\n"
           "                  nothing when the source is damaged\n"
           "  --dry-run       with --import: print what each day would get, write nothing\n"
           "  --history DATE  list the day's older versions kept on this machine, newest\n"
           "                  first: 'N  YYYY-MM-DD HH:MM:SS  BYTES  first line'; exit 1\n"
           "                  when there are none\n"
           "  --restore DATE --version N\n"
           "                  make version N of --history the day's page; the page it\n"
           "                  replaces is kept in the history first\n"
           "  --backup FILE.zip\n"
           "                  write every page and memo, their sync conflict copies, the key\n"
           "                  file, the settings file and their SHA-256 sums (manifest.sha256)\n"
           "                  into one zip\n"
           "  --verify-backup FILE.zip\n"
           "                  check a backup's zip directory and every file against its sum;\n"
           "                  exit 2 naming the files that are missing, differ or don't belong\n"
           "  --restore-backup FILE.zip --data DIR\n"
           "                  unpack a whole backup's diary files into DIR, a new or empty\n"
           "                  folder made private; config.dat is left out\n"
           "  --encrypt       encrypt every page and memo of the diary with a passphrase asked\n"
           "                  twice on the terminal, and print its recovery key, to be written\n"
           "                  down; run it again to finish a conversion that was stopped\n"
           "  --decrypt       turn an encrypted diary back into plain pages, as they were\n"
           "  --passphrase-fd N\n"
           "                  read the passphrase (or the recovery key) as one line from file\n"
           "                  descriptor N instead of the terminal; an encrypted diary asks for\n"
           "                  it with every command that reads it. A wrong one exits with 2\n"
           "  --data DIR      use the pages in DIR instead of the registered data folder\n"
           "  --help          print this help and exit\n"
           "  --version       print the version and exit\n"
           "\n"
           "The install and data folders are read from ${XDG_CONFIG_HOME:-~/.config}/Tarnwick/Pagelet.conf.\n";
}

std::string CommandLine::version()
{
    return std::string("pagelet ") + PAGELET_VERSION + "\n";
}

} // namespace pagelet
