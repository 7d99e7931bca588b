#include "app/controls.h"

#include "platform/gui.h"

namespace quorvel {

namespace {

using platform::ControlKind;

constexpr platform::ControlDefinition kControls[] = {
    {RunButton, ControlKind::PushButton, 80, 280, 560, 40, "Quorvel ..."},
    {Stems2Option, ControlKind::OptionButton, 80, 180, 270, 20, "2 stems - vocal, accompaniment"},
    {Stems4Option, ControlKind::OptionButton, 80, 200, 270, 20,
     "4 stems - vocal, drums, bass, other"},
    {Stems5Option, ControlKind::OptionButton, 80, 220, 270, 20,
     "5 stems - vocal, drums, bass, piano, other"},
    {SpareField, ControlKind::TextField, 720, 270, 80, 20, ""},
    {FilesLabel, ControlKind::Label, 10, 10, 60, 20, "Audiofiles"},
    {OutdirField, ControlKind::TextField, 80, 250, 560, 20, ""},
    {OutdirLabel, ControlKind::Label, 30, 250, 50, 20, "Outdir"},
    {AddFilesButton, ControlKind::PushButton, 640, 10, 40, 20, "<<"},
    {RemoveFileButton, ControlKind::PushButton, 640, 30, 40, 20, ">>"},
    {ClearListButton, ControlKind::PushButton, 640, 50, 40, 20, "Clear"},
    {OutdirBrowseButton, ControlKind::PushButton, 640, 250, 40, 20, "..."},
    {EnvButton, ControlKind::PushButton, 720, 200, 80, 40, "Run Anaconda"},
    {FileList, ControlKind::List, 80, 10, 560, 160, nullptr},
    {TranscriptBox, ControlKind::Editor, 0, 330, 710, 120, nullptr},
    {ShowConsoleCheck, ControlKind::CheckBox, 370, 180, 240, 25,
     "Show CMD-Box for each Spleeter-Process "},
    {TestButton, ControlKind::PushButton, 720, 70, 80, 30, "TEST"},
};

}  // namespace

void CreateControls() {
    for (const platform::ControlDefinition& definition : kControls) {
        platform::CreateControl(definition);
        if (definition.number == TranscriptBox) {
            platform::SetBackgroundColour(TranscriptBox, 253, 254, 216);
        }
    }
    platform::AcceptFileDrops(FileList);
}

}  // namespace quorvel
