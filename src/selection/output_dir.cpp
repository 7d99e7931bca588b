#include "selection/output_dir.h"

#include "app/controls.h"
#include "app/shell.h"
#include "platform/gui.h"

namespace quorvel {

void OnBrowseOutputDir() {
    Shell.OutputDir = platform::BrowseForFolder("OutputDir");
    if (Shell.OutputDir.empty()) {
        // The field keeps its text; a run then falls back on it.
        ShowMessage("Info", "No Outputpath selected!");
        return;
    }
    platform::SetText(OutdirField, Shell.OutputDir);
}

}  // namespace quorvel
