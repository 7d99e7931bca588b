// Starting the outside tool and collecting its standard output.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quorvel::platform {

struct ToolProcess;
struct ToolProcessRelease {
    void operator()(ToolProcess* tool) const;
};
// A started tool: its process and the read end of its output pipe. Releasing it
// closes both.
using Tool = std::unique_ptr<ToolProcess, ToolProcessRelease>;

// Starts `program`, found by the system's search, with the command line made of the
// quoted program name, a blank and `parameters`. Empty when it cannot start; `error`
// then holds the system's message.
Tool StartTool(const std::string& program, const std::string& parameters, bool showConsole,
               std::string& error);

// Reads the tool's standard output in blocks as it comes, until the tool has ended and
// nothing is left waiting in the pipe; blocks in between without using the processor.
void CollectOutput(ToolProcess& tool, const std::function<void(std::string_view)>& onBytes);

// The exit code of the ended tool, as a signed 32-bit number.
long long ExitCode(ToolProcess& tool);

// One line of tool output as text: UTF-8 when it is valid UTF-8, otherwise read in the
// system's ANSI code page, as console programs write to pipes.
std::string DecodeToolLine(std::string_view bytes);

}  // namespace quorvel::platform
