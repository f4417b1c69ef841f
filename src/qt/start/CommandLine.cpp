#include "qt/start/CommandLine.h"

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
    bool search = false, exporting = false, data = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            line.action = Action::Help;
            return line;
        }
        bool matched = false;
        for (auto [name, value, seen] : {std::tuple {"--search", &line.word, &search},
                                         std::tuple {"--export", &line.file, &exporting},
                                         std::tuple {"--data", &line.dataDir, &data}}) {
            if (!takeValue(a, name, argc, argv, i, *value, matched))
                return bad(std::string(name) + " needs a value");
            if (matched) {
                *seen = true;
                break;
            }
        }
        if (matched)
            continue;
        if (a == "--version")
            line.action = Action::Version;
        else if (a == "--desktop")
            line.desktop = true;
        else if (a == "--match-case")
            line.matchCase = true;
        else
            return bad("unknown option '" + std::string(a) + "'");
    }
    if (search && exporting)
        return bad("--search and --export go one at a time");
    if ((line.matchCase && !search) || (data && !search && !exporting))
        return bad(line.matchCase ? "--match-case goes with --search" : "--data goes with --search or --export");
    if (search && line.word.empty())
        return bad("--search needs a word that is not empty");
    if (line.action != Action::Version)
        line.action = search ? Action::Search : exporting ? Action::Export : line.action;
    return line;
}

std::string CommandLine::usage()
{
    return "Usage: pagelet [--desktop]\n"
           "       pagelet --search WORD [--match-case] [--data DIR]\n"
           "       pagelet --export FILE.md|FILE.html [--data DIR]\n"
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
           "  --data DIR      read the pages from DIR instead of the registered data folder\n"
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
