#include "settings/settings.h"

#include "app/controls.h"
#include "app/shell.h"
#include "platform/files.h"
#include "platform/gui.h"
#include "settings/settings_directory.h"
#include "settings/settings_format.h"

namespace quorvel {

std::string SettingsDirectory() {
    return ChooseSettingsDirectory(platform::ExecutablePath(), platform::CurrentDirectory());
}

std::string ReadSetting(std::string_view key, const std::string& directory) {
    std::string content;
    if (!platform::ReadWholeFile(directory + std::string(kSettingsFileName), content)) {
        ShowMessage("Error", "Cannot read config!");
        return {};
    }
    return FindSettingValue(content, key);
}

void WriteSettings(const std::string& directory) {
    const std::string content =
        FormatSettings(platform::GetText(OutdirField), platform::GetState(ShowConsoleCheck) == 1);
    if (!platform::WriteWholeFile(directory + std::string(kSettingsFileName), content)) {
        ShowMessage("Error", "Cannot write config!");
    }
}

}  // namespace quorvel
