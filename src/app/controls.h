// The main window's controls, by their fixed numbers.
#pragma once

namespace quorvel {

enum Control : int {
    RunButton = 1,
    OutdirBrowseButton = 2,
    AddFilesButton = 3,
    RemoveFileButton = 4,
    ClearListButton = 5,
    EnvButton = 6,
    TranscriptBox = 8,
    Stems2Option = 10,
    Stems4Option = 11,
    Stems5Option = 12,
    SpareField = 13,
    FilesLabel = 14,
    OutdirField = 15,
    OutdirLabel = 16,
    FileList = 18,
    ShowConsoleCheck = 20,
    TestButton = 21,
};

// Creates all controls in their fixed order; the list then accepts dropped files.
void CreateControls();

}  // namespace quorvel
