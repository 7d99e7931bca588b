#include "selection/file_list.h"

#include <string>
#include <vector>

#include "app/controls.h"
#include "app/shell.h"
#include "platform/files.h"
#include "platform/gui.h"

namespace quorvel {

namespace {

constexpr char kAudioFilePattern[] =
    "WAV (*.wav)|*.wav|MP3 (*.mp3)|*.mp3|OGG (*.ogg)|*.ogg|AIFF (*.aif)|*.aif|All (*.*)|*.*";

}  // namespace

void OnAddFiles() {
    Shell.FilePattern = kAudioFilePattern;
    Shell.SelectedFile = platform::OpenFileDialog("Audiofile", Shell.FilePattern, 1);
    // Only the first chosen path is checked; a cancelled dialog yields "" and fails here too.
    if (platform::PathSize(Shell.SelectedFile) < 0) {
        ShowMessage("Info", "No Inputfile selected!");
        return;
    }
    std::vector<std::string> chosen;
    while (!Shell.SelectedFile.empty()) {
        chosen.push_back(Shell.SelectedFile);
        Shell.SelectedFile = platform::NextChosenFile();
    }
    platform::ListAppend(FileList, chosen);
}

void OnRemoveFile() {
    platform::ListRemove(FileList, platform::GetState(FileList));
}

void OnClearList() {
    platform::ListClear(FileList);
}

void OnDrop() {
    if (platform::EventDropFormat() != platform::DropFormat::Files ||
        platform::EventControl() != FileList) {
        return;
    }
    Shell.DroppedFiles = platform::EventDroppedFiles();
    std::vector<std::string> dropped;
    size_t start = 0;
    for (Shell.LoopCounter = 1;; ++Shell.LoopCounter) {
        const size_t end = Shell.DroppedFiles.find('\n', start);
        Shell.DroppedFile = Shell.DroppedFiles.substr(start, end - start);
        if (!Shell.DroppedFile.empty()) {
            dropped.push_back(Shell.DroppedFile);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    platform::ListAppend(FileList, dropped);
}

// Runs for every control event before it is queued. The list does not offer its
// entries for dragging out: no control raises the drag start this would act on.
void OnControlEvent() {}

}  // namespace quorvel
