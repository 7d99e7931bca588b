#include "settings/settings_directory.h"

namespace quorvel {

const char kDevelopmentCompilerDirectory[] = "C:\\Program Files\\Quorvel Studio\\Compiler\\";

std::string ChooseSettingsDirectory(std::string_view executablePath,
                                    std::string_view currentDirectory) {
    const size_t slash = executablePath.find_last_of("\\/");
    std::string directory(slash == std::string_view::npos ? std::string_view()
                                                          : executablePath.substr(0, slash + 1));
    if (directory == kDevelopmentCompilerDirectory) {
        directory = currentDirectory;
    }
    if (directory.empty() || directory.back() != '\\') {
        directory += '\\';
    }
    return directory;
}

}  // namespace quorvel
