// Files and file-system queries. Paths are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::platform {

// -1 when nothing exists at the path (also for ""), -2 for a directory, else the size.
long long PathSize(const std::string& path);

std::string ExecutablePath();
std::string CurrentDirectory();

// Reads a whole existing file, opened without sharing. False when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces the file's content so that a failure on the way leaves the old content
// as it was. False on any failure.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace quorvel::platform
