#pragma once
// The program's arguments: files to open, and the two answers a packaged
// program gives without starting (--help, --version). Qt takes its own
// options (-platform, -display, ...) out of the list before this sees it.

#include <optional>
#include <string>
#include <vector>

namespace vela {

struct CommandLine {
    /// The files named, as given; the first is opened.
    std::vector<std::string> files;
    /// Printed on standard output, after which the program ends with status 0.
    std::optional<std::string> answer;
    /// A one-line error for standard error, after which the program ends with status 2.
    std::optional<std::string> error;

    /// Reads the arguments after the program's name. "--" ends the options.
    static CommandLine parse(const std::vector<std::string>& arguments);
};

} // namespace vela
