// quorvel-cli-manpage: writes a manual page of quorvel-cli from its template, with the OPTIONS and
// EXIT STATUS items taken from the program's own tables, so that the pages cannot drift from
// what the program accepts.
//
// usage: quorvel-cli-manpage en|zh_CN TEMPLATE OUTPUT

#include "cli/CliOptions.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

// Marker lines of a template, each replaced by its items.
constexpr char kOptionsMarker[] = R"(.\" quorvel-cli options)";
constexpr char kExitStatusesMarker[] = R"(.\" quorvel-cli exit statuses)";

// A name as roff shows it: its hyphens are minus signs, so that the page can be searched.
std::string Roff(const char* name) {
    std::string shown;
    for (const char* c = name; *c != '\0'; ++c) {
        if (*c == '-')
            shown += '\\';
        shown += *c;
    }
    return shown;
}

std::string OptionItems(bool english) {
    std::string items;
    for (const cli::CliOption& option : cli::CliOptions()) {
        items += ".TP\n";
        if (option.shortName)
            items += "\\fB" + Roff(option.shortName) + "\\fR, ";
        items += "\\fB" + Roff(option.longName) + "\\fR";
        if (option.valueZh)
            items += std::string(" \\fI") + (english ? option.valueEn : option.valueZh) + "\\fR";
        items += '\n';
        items += english ? option.manEn : option.manZh;
        items += '\n';
    }
    return items;
}

std::string ExitStatusItems(bool english) {
    std::string items;
    for (const cli::ExitStatusEntry& entry : cli::ExitStatuses()) {
        items += ".TP\n.B " + std::to_string(entry.status) + '\n';
        items += english ? entry.manEn : entry.manZh;
        items += '\n';
    }
    return items;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string language = argc == 4 ? argv[1] : "";
    if (language != "en" && language != "zh_CN") {
        std::cerr << "usage: quorvel-cli-manpage en|zh_CN TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream page(argv[2]);
    if (!page) {
        std::cerr << "quorvel-cli-manpage: cannot read " << argv[2] << '\n';
        return 1;
    }
    const bool english = language == "en";
    std::string written;
    int markers = 0;
    for (std::string line; std::getline(page, line);) {
        if (line == kOptionsMarker) {
            written += OptionItems(english);
            ++markers;
        } else if (line == kExitStatusesMarker) {
            written += ExitStatusItems(english);
            ++markers;
        } else {
            written += line + '\n';
        }
    }
    if (markers != 2) {
        std::cerr << "quorvel-cli-manpage: " << argv[2] << " lacks a marker line\n";
        return 1;
    }
    std::ofstream output(argv[3], std::ios::binary | std::ios::trunc);
    output << written;
    output.close();
    if (!output) {
        std::cerr << "quorvel-cli-manpage: cannot write " << argv[3] << '\n';
        return 1;
    }
    return 0;
}
