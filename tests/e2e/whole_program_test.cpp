// The program as a whole: a long session does not leak, and a session that uses every
// control once ends cleanly with the expected settings.
#include <gtest/gtest.h>

#include "control_numbers.h"
#include "driver.h"
#include "shell_ui.h"

namespace {

using namespace qdriver;  // control numbers

size_t CountStarts(Quorvel& app) {
    const std::string report = ReadBytes(app.ToolReportPath()).value_or("");
    size_t starts = 0;
    for (size_t at = report.find("start "); at != std::string::npos;
         at = report.find("start ", at + 1)) {
        ++starts;
    }
    return starts;
}

struct Usage {
    DWORD handles = 0;
    SIZE_T privateBytes = 0;
};

// Wine answers handle and memory counters for the calling process only, so both are
// taken from outside: handles by trying to duplicate every possible handle value, memory by
// walking the committed private pages.
DWORD HandleCount(HANDLE process) {
    DWORD count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0,
                            FALSE, DUPLICATE_SAME_ACCESS)) {
            CloseHandle(copy);
            ++count;
        }
    }
    return count;
}

SIZE_T CommittedPrivateBytes(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += region.RegionSize;
        }
    }
    return total;
}

Usage UsageOf(HANDLE process) {
    return {HandleCount(process), CommittedPrivateBytes(process)};
}

TEST(WholeProgram, FiveHundredRunsLeaveHandlesAndMemoryFlat) {
    LaunchOptions options;
    options.withFakeTool = true;
    options.settings = "OUT_OUTDIR=C:\\out\\\r\nCMD_SHOW=0\r\n";
    Quorvel app(options);
    ASSERT_NE(app.Window(), nullptr);
    const std::wstring audio = app.Folder() + L"a.wav";
    WriteBytes(audio, "RIFF");
    app.AddListEntries({audio});
    app.Press(kStems2Option);
    app.SetToolScript("report\nwrite one line of output\\n\nexit 0\n");

    constexpr size_t kWarmUp = 25;
    constexpr size_t kRuns = 500;
    for (size_t run = 1; run <= kWarmUp; ++run) {
        ASSERT_TRUE(app.RunAndWait()) << run;
    }
    const Usage before = UsageOf(app.Process());
    for (size_t run = kWarmUp + 1; run <= kRuns; ++run) {
        ASSERT_TRUE(app.RunAndWait()) << run;
    }
    EXPECT_EQ(CountStarts(app), kRuns);
    const Usage after = UsageOf(app.Process());
    ASSERT_GT(before.handles, 0u) << "handle count not available";
    EXPECT_LE(after.handles, before.handles + 5) << "handles grow with the runs";
    EXPECT_LE(after.privateBytes, before.privateBytes + 2 * 1024 * 1024)
        << "memory grows with the runs: " << before.privateBytes << " -> " << after.privateBytes;
    app.RequestClose();
    EXPECT_EQ(app.WaitExit(), 0u);
}

TEST(WholeProgram, SessionThroughEveryControlEndsCleanly) {
    LaunchOptions options;
    options.withFakeTool = true;
    options.settings.reset();
    Quorvel app(options);
    EXPECT_EQ(app.DismissAllMessageBoxes(1500).size(), 2u) << "the first start's two read errors";
    ASSERT_NE(app.Window(), nullptr);
    TempFolder audio(L"quorvel session");
    for (const wchar_t* name : {L"one.wav", L"two.wav", L"three.wav"}) {
        WriteBytes(audio.Path() + name, "RIFF");
    }

    // Add by dialog, drop, remove, clear, add again.
    app.Press(kAddFilesButton);
    HWND dialog = WaitDialog(app, L"Audiofile");
    ASSERT_NE(dialog, nullptr);
    TypeFileNameAndConfirm(dialog, audio.Path() + L"one.wav");
    ASSERT_TRUE(WaitFor([&] { return app.ListEntries().size() == 1; }));
    EXPECT_EQ(DragFilesOnto(app.Control(kFileList),
                            {audio.Path() + L"two.wav", audio.Path() + L"three.wav"}),
              static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(WaitFor([&] { return app.ListEntries().size() == 3; }));
    app.Send(kFileList, LB_SETCURSEL, 0);
    app.Press(kRemoveFileButton);
    app.Press(kTestButton);
    app.Sync();
    EXPECT_EQ(app.ListSelection(), 1);
    app.Press(kClearListButton);
    app.Sync();
    EXPECT_TRUE(app.ListEntries().empty());
    app.AddListEntries({audio.Path() + L"one.wav", audio.Path() + L"two.wav"});

    // Browse to a folder, then a cancelled browse: runs fall back on the field.
    app.Press(kBrowseButton);
    dialog = WaitDialog(app, L"", L"SysTreeView32");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SelectTreePath(dialog, {L"Desktop", L"My Computer", L"Z:"}));
    Sleep(200);
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return app.Text(kOutdirField) == L"Z:\\"; }));
    app.Press(kBrowseButton);
    dialog = WaitDialog(app, L"", L"SysTreeView32");
    ASSERT_NE(dialog, nullptr);
    PressDialogButton(dialog, IDCANCEL);
    const MessageBoxSeen cancelled = app.WaitMessageBox();
    EXPECT_EQ(cancelled.text, L"No Outputpath selected!");
    app.Dismiss(cancelled);
    app.SetFieldText(kOutdirField, audio.Path());

    // A run with each preset, the console box off and on.
    app.SetToolScript("report\nstems\n");
    size_t runs = 0;
    for (int option : {kStems2Option, kStems4Option, kStems5Option}) {
        app.Press(option);
        if (option == kStems5Option) {
            app.Press(kShowConsoleCheck);
        }
        ASSERT_TRUE(app.RunAndWait()) << option;
        runs += 2;
        EXPECT_EQ(CountStarts(app), runs);
    }
    EXPECT_TRUE(FileExists(audio.Path() + L"two\\piano.wav"));
    EXPECT_NE(app.Transcript().find(L"Exitcode: 0"), std::wstring::npos);

    // The environment button: no batch file here, nothing to see.
    app.Press(kEnvButton);
    app.Sync();
    EXPECT_FALSE(app.WaitMessageBox(500));

    app.RequestClose();
    EXPECT_EQ(app.WaitExit(), 0u);
    EXPECT_EQ(ReadBytes(app.SettingsPath()),
              "OUT_OUTDIR=" + Utf8(audio.Path()) + "\r\nCMD_SHOW=1\r\n");
}

}  // namespace
