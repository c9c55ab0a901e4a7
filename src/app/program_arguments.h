#pragma once

#include <string>
#include <vector>

namespace app {

// What the command line of the program asks for. Qt's own options are taken
// out by the toolkit before these are read.
struct ProgramArguments {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    std::string book;    // the book file named, "" when none
    std::string problem; // why the line was refused
};

// Reads the arguments after the program name: -h/--help, -v/--version, at
// most one book file; "--" ends the options, so a file may start with "-".
// Empty arguments are passed over (a launcher's empty file field).
ProgramArguments parseProgramArguments(const std::vector<std::string> &arguments);

// The text of --help and of --version, each ending in a line break.
std::string programHelpText();
std::string programVersionText();

} // namespace app
