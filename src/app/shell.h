// The shell state that every handler reads and writes, and the two operations
// all handlers share.
#pragma once

#include <string>

namespace quorvel {

struct ShellState {
    std::string WindowTitle;
    std::string SettingsDir;
    std::string OutputDir;
    std::string CmdShowText;
    std::string Preset;
    std::string StatusFlag;
    std::string TranscriptText;
    std::string ToolParams;
    std::string CurrentEntry;
    std::string SelectedFile;
    std::string FilePattern;
    std::string DroppedFiles;
    std::string DroppedFile;
    long long LoopCounter = 0;
    long long LoopIndex = 0;
};

extern ShellState Shell;

void ShowMessage(const std::string& title, const std::string& text);
void DrainEvents();

// The whole life of the program, start-up to shutdown; returns the exit code.
int RunQuorvel();

}  // namespace quorvel
