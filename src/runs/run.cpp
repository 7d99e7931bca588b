#include "runs/run.h"

#include <optional>

#include "app/controls.h"
#include "app/shell.h"
#include "platform/files.h"
#include "platform/gui.h"
#include "platform/process.h"
#include "runs/command_line.h"
#include "runs/output_lines.h"
#include "settings/integer_text.h"

namespace quorvel {

namespace {

constexpr char kToolProgram[] = "spleeter.exe";
constexpr char kHeader[] = "Quorvel -> running... [ please have a little patience :-) ]";

bool CheckPreset() {
    constexpr struct {
        int option;
        const char* preset;
    } kPresets[] = {{Stems2Option, "2stems"}, {Stems4Option, "4stems"}, {Stems5Option, "5stems"}};
    for (const auto& choice : kPresets) {
        if (platform::GetState(choice.option) == 1) {
            Shell.Preset = choice.preset;
            Shell.StatusFlag = "1";
            return true;
        }
    }
    Shell.StatusFlag = "0";
    ShowMessage("No choice", "No stems selected!");
    return false;
}

// Only the first entry is examined; the tool reports on the others itself.
void CheckAudioFile() {
    const std::string first = platform::ListEntry(FileList, 0);
    if (first.empty() || platform::PathSize(first) < 0) {
        Shell.StatusFlag = "0";
        ShowMessage("Error", "Audiofile: Invalid value!");
    }
}

// The field is read only while no output folder is remembered.
void CheckOutputDir() {
    if (!Shell.OutputDir.empty()) {
        return;
    }
    const std::string field = platform::GetText(OutdirField);
    if (!field.empty() && platform::PathSize(field) == -2) {
        Shell.OutputDir = field;
    } else {
        Shell.StatusFlag = "0";
        ShowMessage("Error", "Outputpath: Invalid value!");
    }
}

void AppendTranscriptLine(std::string_view bytes) {
    Shell.TranscriptText += platform::DecodeToolLine(bytes);
    Shell.TranscriptText += '\r';
}

// Runs the tool for the current entry; its exit code, or none when it did not start.
std::optional<long long> RunToolForEntry() {
    Shell.CurrentEntry = platform::ListEntry(FileList, Shell.LoopIndex);
    Shell.ToolParams = ComposeToolParameters(Shell.Preset, Shell.OutputDir, Shell.CurrentEntry);
    const bool showConsole = platform::GetState(ShowConsoleCheck) == 1;
    std::string error;
    platform::Tool tool = platform::StartTool(kToolProgram, Shell.ToolParams, showConsole, error);
    if (!tool) {
        Shell.TranscriptText += std::string("Cannot start ") + kToolProgram + ": " + error + "\r";
        return std::nullopt;
    }
    OutputLines lines;
    platform::CollectOutput(*tool, [&lines](std::string_view bytes) {
        FeedOutput(lines, bytes, AppendTranscriptLine);
    });
    FinishOutput(lines, AppendTranscriptLine);
    return platform::ExitCode(*tool);
}

}  // namespace

void OnRun() {
    if (!CheckPreset()) {
        return;
    }
    CheckAudioFile();
    CheckOutputDir();
    if (Shell.StatusFlag != "1") {
        return;
    }

    platform::ShowWaitCursor();
    Shell.TranscriptText = std::string(kHeader) + "\r\r";
    platform::SetText(TranscriptBox, Shell.TranscriptText);
    DrainEvents();

    std::optional<long long> exitCode;
    Shell.LoopCounter = platform::ListCount(FileList);
    for (Shell.LoopIndex = 0; Shell.LoopIndex < Shell.LoopCounter; ++Shell.LoopIndex) {
        platform::SetState(FileList, Shell.LoopIndex);
        DrainEvents();
        exitCode = RunToolForEntry();
    }
    Shell.TranscriptText += "\r...done!\rExitcode: ";
    Shell.TranscriptText += exitCode ? IntegerToText(*exitCode) : "none";

    platform::ShowArrowCursor();
    platform::SetText(TranscriptBox, Shell.TranscriptText);
    DrainEvents();
}

}  // namespace quorvel
