#include "runs/environment.h"

#include "platform/interpreter.h"

namespace quorvel {

// Runs the batch file from the current directory and waits for it. What it does or
// reports is its own affair: the result is not shown, and input that arrives meanwhile
// is handled afterwards, in order.
void OnEnvironment() {
    const std::string command = platform::AnsiText("anaconda_env.bat");
    platform::RunThroughInterpreter(command);
}

}  // namespace quorvel
