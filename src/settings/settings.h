// Reading and writing the settings file.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

std::string SettingsDirectory();

// The value of the key in the settings file of the directory; "" when the key is
// absent. Tells the user when the file cannot be read.
std::string ReadSetting(std::string_view key, const std::string& directory);

// Stores the output field's text and the console checkbox; tells the user when the
// file cannot be written, and then leaves the old file as it was.
void WriteSettings(const std::string& directory);

}  // namespace quorvel
