// The numbers of the main window's controls, as the tests address them.
#pragma once

namespace qdriver {

constexpr int kRunButton = 1;
constexpr int kBrowseButton = 2;
constexpr int kAddFilesButton = 3;
constexpr int kRemoveFileButton = 4;
constexpr int kClearListButton = 5;
constexpr int kEnvButton = 6;
constexpr int kTranscriptBox = 8;
constexpr int kStems2Option = 10;
constexpr int kStems4Option = 11;
constexpr int kStems5Option = 12;
constexpr int kOutdirField = 15;
constexpr int kFileList = 18;
constexpr int kShowConsoleCheck = 20;
constexpr int kTestButton = 21;

}  // namespace qdriver
