#include "qt/CommandLine.h"

#include <string_view>

#ifndef PAGELET_VERSION
#define PAGELET_VERSION "0"
#endif

namespace pagelet {

CommandLine CommandLine::parse(int argc, char** argv)
{
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            line.action = Action::Help;
            return line;
        }
        if (a == "--version")
            line.action = Action::Version;
        else if (a == "--desktop")
            line.desktop = true;
        else {
            line.action = Action::Bad;
            line.badOption = a;
            return line;
        }
    }
    return line;
}

std::string CommandLine::usage()
{
    return "Usage: pagelet [--desktop]\n"
           "A personal diary: one page per day, a month calendar, weather marks and skins.\n"
           "\n"
           "  --desktop   make the user's install in ${XDG_DATA_HOME:-~/.local/share}/Pagelet\n"
           "              when none is registered yet, then open the diary\n"
           "  --help      print this help and exit\n"
           "  --version   print the version and exit\n"
           "\n"
           "The install and data folders are read from ${XDG_CONFIG_HOME:-~/.config}/Tarnwick/Pagelet.conf.\n";
}

std::string CommandLine::version()
{
    return std::string("pagelet ") + PAGELET_VERSION + "\n";
}

} // namespace pagelet
