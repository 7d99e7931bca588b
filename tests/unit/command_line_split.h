// How a Windows program splits its command line into arguments (the C runtime's and
// CommandLineToArgvW's rules for the arguments after the program name), written
// independently of the quoting code so that tests can check one against the other.
#pragma once

#include <string>
#include <vector>

namespace quorvel {

inline std::vector<std::string> SplitCommandLineArguments(const std::string& line) {
    std::vector<std::string> arguments;
    size_t i = 0;
    // The program name ends at the next blank, or at the closing quote; no escapes.
    std::string program;
    if (i < line.size() && line[i] == '"') {
        for (++i; i < line.size() && line[i] != '"'; ++i) {
            program += line[i];
        }
        ++i;
    } else {
        for (; i < line.size() && line[i] != ' ' && line[i] != '\t'; ++i) {
            program += line[i];
        }
    }
    arguments.push_back(program);
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        if (i >= line.size()) {
            return arguments;
        }
        std::string argument;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    argument += '"';  // "" inside quotes is a literal quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.append(backslashes, '\\');
                if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
                    argument += line[i++];
                }
            }
        }
        arguments.push_back(argument);
    }
}

}  // namespace quorvel
