// The system's command interpreter.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::platform {

// The text in the system's ANSI code page, as 8-bit programs read it.
std::string AnsiText(std::string_view utf8);

// Runs an 8-bit command text through the interpreter named by COMSPEC (else cmd.exe)
// with "/c", and waits for it to end. Its exit code, or -1 when none could start.
long long RunThroughInterpreter(const std::string& command);

}  // namespace quorvel::platform
