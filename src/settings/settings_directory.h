#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Running from the development compiler's folder, settings live in the current
// directory instead of beside the executable.
extern const char kDevelopmentCompilerDirectory[];

// The settings directory for an executable path and a current directory; it always
// ends with a backslash.
std::string ChooseSettingsDirectory(std::string_view executablePath,
                                    std::string_view currentDirectory);

}  // namespace quorvel
