// Runs of the tool: the checks, the command line the tool really receives, the output
// collected into the transcript, exit codes, and the window's state during a run.
#include <gtest/gtest.h>

#include "control_numbers.h"
#include "driver.h"
#include "shell_ui.h"

namespace {

using qdriver::LaunchOptions;
using qdriver::Quorvel;
using qdriver::WaitFor;

using namespace qdriver;  // control numbers

const std::wstring kHeader = L"Quorvel -> running... [ please have a little patience :-) ]\r\r";

LaunchOptions WithTool(const std::string& outputDir) {
    LaunchOptions options;
    options.withFakeTool = true;
    options.settings = "OUT_OUTDIR=" + outputDir + "\r\nCMD_SHOW=0\r\n";
    return options;
}

// One start of the test double as it reported it.
struct ToolStart {
    std::string show;
    std::vector<std::string> arguments;
};

std::vector<ToolStart> ReportedStarts(Quorvel& app) {
    std::vector<ToolStart> starts;
    const std::string report = qdriver::ReadBytes(app.ToolReportPath()).value_or("");
    size_t at = 0;
    while (at < report.size()) {
        const size_t end = report.find('\n', at);
        const std::string line = report.substr(at, end - at);
        at = end == std::string::npos ? report.size() : end + 1;
        if (line.rfind("start ", 0) == 0) {
            starts.push_back({line.substr(6), {}});
        } else if (line.rfind("arg=", 0) == 0 && !starts.empty()) {
            starts.back().arguments.push_back(line.substr(4));
        }
    }
    return starts;
}

class RunTest : public testing::Test {
  protected:
    void Start(LaunchOptions options) {
        app.emplace(std::move(options));
        ASSERT_NE(app->Window(), nullptr);
    }

    // A file that exists, so that the run's check of the first entry passes.
    std::wstring AudioFile(const std::wstring& name) {
        const std::wstring path = app->Folder() + name;
        qdriver::WriteBytes(path, "RIFF");
        return path;
    }

    void Run() { ASSERT_TRUE(app->RunAndWait()) << qdriver::Utf8(app->Transcript()); }

    std::vector<std::wstring> Messages() {
        std::vector<std::wstring> seen;
        for (const qdriver::MessageBoxSeen& box : app->DismissAllMessageBoxes(800)) {
            seen.push_back(box.caption + L": " + box.text);
        }
        return seen;
    }

    std::optional<Quorvel> app;
};

TEST_F(RunTest, ChecksRefuseIncompleteRequestsWithTheirMessages) {
    struct Case {
        const char* name;
        int option;                         // 0: none chosen
        std::vector<std::wstring> entries;  // "@x" is a file that exists, "#x" a folder
        std::string outputDir;              // the remembered folder, from the settings
        std::wstring field;                 // typed into the field after start
        std::vector<std::wstring> messages;
    };
    const std::wstring noChoice = L"No choice: No stems selected!";
    const std::wstring badAudio = L"Error: Audiofile: Invalid value!";
    const std::wstring badOutput = L"Error: Outputpath: Invalid value!";
    const Case cases[] = {
        {"no preset, nothing else either", 0, {}, "", L"", {noChoice}},
        {"empty list", kStems2Option, {}, "C:\\out\\", L"", {badAudio}},
        {"first entry missing",
         kStems4Option,
         {L"C:\\missing.wav", L"@a.wav"},
         "C:\\out\\",
         L"",
         {badAudio}},
        {"first entry a folder",
         kStems5Option,
         {L"#album", L"@a.wav"},
         "C:\\out\\",
         L"",
         {badAudio}},
        {"both messages", kStems2Option, {}, "", L"", {badAudio, badOutput}},
        {"field names a file", kStems2Option, {L"@a.wav"}, "", L"@b.wav", {badOutput}},
        {"field empty", kStems2Option, {L"@a.wav"}, "", L"", {badOutput}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start(WithTool(c.outputDir));
        auto resolve = [&](const std::wstring& entry) {
            if (!entry.empty() && entry[0] == L'@') {
                return AudioFile(entry.substr(1));
            }
            if (!entry.empty() && entry[0] == L'#') {
                CreateDirectoryW((app->Folder() + entry.substr(1)).c_str(), nullptr);
                return app->Folder() + entry.substr(1);
            }
            return entry;
        };
        for (const std::wstring& entry : c.entries) {
            app->AddListEntries({resolve(entry)});
        }
        app->SetFieldText(kOutdirField, resolve(c.field));
        if (c.option != 0) {
            app->Press(c.option);
        }
        app->Press(kRunButton);
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_EQ(app->Transcript(), L"") << "no run";
        EXPECT_TRUE(ReportedStarts(*app).empty());
        app.reset();
    }
}

TEST_F(RunTest, FailedAudioCheckStillAdoptsTheFieldsFolder) {
    Start(WithTool(""));
    CreateDirectoryW((app->Folder() + L"out").c_str(), nullptr);
    app->SetFieldText(kOutdirField, app->Folder() + L"out");
    app->Press(kStems2Option);
    app->Press(kRunButton);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Error: Audiofile: Invalid value!"});
    // The field changes, but the folder taken over by the failed request is used.
    app->SetFieldText(kOutdirField, L"C:\\elsewhere\\");
    const std::wstring audio = AudioFile(L"a.wav");
    app->AddListEntries({audio});
    Run();
    const auto starts = ReportedStarts(*app);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].arguments[4], qdriver::Utf8(app->Folder() + L"out"));
}

TEST_F(RunTest, TranscriptOfTwoEntriesIsExact) {
    Start(WithTool("C:\\out\\"));
    app->SetToolScript("write {name}-L1\\nL2\\n\n");
    app->AddListEntries({AudioFile(L"a.wav"), AudioFile(L"b.wav")});
    app->Press(kStems2Option);
    Run();
    EXPECT_EQ(app->Transcript(), kHeader + L"a-L1\rL2\rb-L1\rL2\r\r...done!\rExitcode: 0");
    EXPECT_EQ(app->ListSelection(), 1) << "the last entry is left selected";
    app->Press(kRemoveFileButton);
    app->Sync();
    EXPECT_EQ(app->ListEntries(), std::vector<std::wstring>{app->Folder() + L"a.wav"});
}

TEST_F(RunTest, ToolReceivesItsArgumentsIntact) {
    struct Case {
        const char* name;
        std::string outputDir;
        std::wstring secondEntry;
        int option;
        const char* preset;
    };
    const Case cases[] = {
        {"plain", "C:\\out", L"C:\\music\\a.wav", kStems4Option, "4stems"},
        {"drive root", "D:\\", L"D:\\x.wav", kStems2Option, "2stems"},
        {"blanks and a final backslash", "C:\\out dir\\", L"C:\\My Music\\a b.wav", kStems5Option,
         "5stems"},
        {"letters beyond ASCII", "C:\\St\xC3\xA9ms \xE6\x9B\xB2\\",
         L"C:\\Bj\u00f6rk \u2013 J\u00f3ga.wav", kStems4Option, "4stems"},
        {"quote-like characters", "C:\\a\\\\b", L"C:\\it's \\ here.wav", kStems2Option, "2stems"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Start(WithTool(c.outputDir));
        const std::wstring first = AudioFile(L"first file.wav");
        app->AddListEntries({first, c.secondEntry});
        app->Press(c.option);
        Run();
        const auto starts = ReportedStarts(*app);
        ASSERT_EQ(starts.size(), 2u);
        const std::string preset = std::string("spleeter:") + c.preset;
        EXPECT_EQ(starts[0].arguments,
                  (std::vector<std::string>{"separate", "-p", preset, "-o", c.outputDir,
                                            qdriver::Utf8(first)}));
        EXPECT_EQ(starts[1].arguments,
                  (std::vector<std::string>{"separate", "-p", preset, "-o", c.outputDir,
                                            qdriver::Utf8(c.secondEntry)}));
        app.reset();
    }
}

TEST_F(RunTest, ConsoleCheckboxDecidesHowEachToolStarts) {
    Start(WithTool("C:\\out\\"));
    app->SetToolScript("report\nwrite visible either way\\n\n");
    app->AddListEntries({AudioFile(L"a.wav")});
    app->Press(kStems2Option);
    Run();
    app->Press(kShowConsoleCheck);
    Run();
    const auto starts = ReportedStarts(*app);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].show, "show=0 flags=0x101") << "hidden";
    EXPECT_EQ(starts[1].show, "show=1 flags=0x101") << "shown";
    EXPECT_EQ(app->Transcript(), kHeader + L"visible either way\r\r...done!\rExitcode: 0");
}

TEST_F(RunTest, LastExitCodeIsShownAsSignedNumber) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"0", L"0"}, {"1", L"1"}, {"0xFFFFFFFF", L"-1"}, {"0xC0000005", L"-1073741819"}};
    Start(WithTool("C:\\out\\"));
    app->AddListEntries({AudioFile(L"a.wav")});
    app->Press(kStems2Option);
    for (const auto& [code, shown] : cases) {
        app->SetToolScript(std::string("exit ") + code + "\n");
        Run();
        EXPECT_EQ(app->Transcript(), kHeader + L"\r...done!\rExitcode: " + shown) << code;
    }
}

TEST_F(RunTest, ToolThatCannotStartIsReported) {
    LaunchOptions options = WithTool("C:\\out\\");
    options.withFakeTool = false;
    Start(options);
    app->AddListEntries({AudioFile(L"a.wav")});
    app->Press(kStems2Option);
    Run();
    const std::wstring transcript = app->Transcript();
    const std::wstring prefix = kHeader + L"Cannot start spleeter.exe: ";
    ASSERT_EQ(transcript.rfind(prefix, 0), 0u) << qdriver::Utf8(transcript);
    const std::wstring suffix = L"\r\r...done!\rExitcode: none";
    ASSERT_GT(transcript.size(), prefix.size() + suffix.size());
    EXPECT_EQ(transcript.substr(transcript.size() - suffix.size()), suffix);
    EXPECT_EQ(app->WaitMessageBox(300).window, nullptr);
}

TEST_F(RunTest, OutputLinesAreSplitAndDecoded) {
    struct Case {
        const char* name;
        std::string script;
        std::wstring lines;
    };
    const Case cases[] = {
        {"CR LF", "write one\\r\\ntwo\\r\\n", L"one\rtwo\r"},
        {"progress redraws", "write 10%\\r20%\\r100%\\ndone\\n", L"10%20%100%\rdone\r"},
        {"empty line and no final LF", "write a\\n\\nlast", L"a\r\rlast\r"},
        {"zero byte", "write keep\\0gone\\nnext\\n", L"keep\rnext\r"},
        {"UTF-8", "write Bj\\xC3\\xB6rk \\xE6\\x9B\\xB2\\n", L"Bj\u00f6rk \u66f2\r"},
        {"ANSI code page", "write caf\\xE9 \\xFCber\\n", L"caf\u00e9 \u00fcber\r"},
    };
    Start(WithTool("C:\\out\\"));
    app->AddListEntries({AudioFile(L"a.wav")});
    app->Press(kStems2Option);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app->SetToolScript(c.script + "\n");
        Run();
        EXPECT_EQ(app->Transcript(), kHeader + c.lines + L"\r...done!\rExitcode: 0");
    }
}

TEST_F(RunTest, HugeSingleLineArrivesWhole) {
    constexpr size_t kLine = 20 * 1024 * 1024;
    Start(WithTool("C:\\out\\"));
    app->AddListEntries({AudioFile(L"a.wav")});
    app->Press(kStems2Option);
    app->SetToolScript("line-bytes " + std::to_string(kLine) + " x\nwrite \\r\\n\n");
    app->Press(kRunButton);
    // Showing one unbroken 20 MB line takes Wine's rich edit most of a minute.
    ASSERT_TRUE(WaitFor([&] { return app->Send(8, WM_GETTEXTLENGTH) > LRESULT{kLine}; }, 240000));
    EXPECT_EQ(app->Transcript(),
              kHeader + std::wstring(kLine, L'x') + L"\r\r...done!\rExitcode: 0");
}

TEST_F(RunTest, ProcessLeftHoldingThePipeDoesNotHoldTheRun) {
    Start(WithTool("C:\\out\\"));
    app->AddListEntries({AudioFile(L"a.wav")});
    app->Press(kStems2Option);
    app->SetToolScript("write before\\n\nspawn-holder 60000\nwrite after\\n\nexit 3\n");
    app->Press(kRunButton);
    ASSERT_TRUE(app->WaitRunEnd(20000)) << "the run waited for the process holding the pipe";
    EXPECT_EQ(app->Transcript(), kHeader + L"before\rafter\r\r...done!\rExitcode: 3");
}

TEST_F(RunTest, PressesAndCloseRequestsDuringARunAreLost) {
    Start(WithTool("C:\\out\\"));
    app->AddListEntries({AudioFile(L"a.wav"), AudioFile(L"b.wav")});
    app->Press(kStems2Option);
    app->SetToolScript("report\nsleep 1500\n");
    app->Press(kRunButton);
    ASSERT_TRUE(WaitFor([&] { return ReportedStarts(*app).size() == 1; }, 10000));
    app->Press(kRunButton);
    app->RequestClose();
    ASSERT_TRUE(app->WaitRunEnd());
    Sleep(2500);
    EXPECT_TRUE(app->Running()) << "the close request during the run was dropped";
    EXPECT_EQ(ReportedStarts(*app).size(), 2u) << "one start per entry, no second run";
    app->RequestClose();
    EXPECT_EQ(app->WaitExit(), 0u);
}

TEST_F(RunTest, ToolWritesStemsIntoTheOutputFolder) {
    Start(WithTool(""));
    const std::wstring out = app->Folder() + L"stems out";
    CreateDirectoryW(out.c_str(), nullptr);
    app->SetFieldText(kOutdirField, out);
    app->AddListEntries({AudioFile(L"song one.wav")});
    app->Press(kStems4Option);
    app->SetToolScript("stems\n");
    Run();
    for (const wchar_t* stem : {L"vocals.wav", L"drums.wav", L"bass.wav", L"other.wav"}) {
        EXPECT_TRUE(qdriver::FileExists(out + L"\\song one\\" + stem)) << qdriver::Utf8(stem);
    }
    EXPECT_NE(app->Transcript().find(L"wrote "), std::wstring::npos);
}

TEST_F(RunTest, CancelledBrowseMakesTheRunFallBackOnTheField) {
    Start(WithTool(""));
    const std::wstring out = app->Folder() + L"chosen";
    CreateDirectoryW(out.c_str(), nullptr);
    app->SetFieldText(kOutdirField, out + L"\\");
    app->Press(2);
    HWND dialog = qdriver::WaitDialog(*app, L"", L"SysTreeView32");
    ASSERT_NE(dialog, nullptr);
    qdriver::PressDialogButton(dialog, IDCANCEL);
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"Info: No Outputpath selected!"});
    app->AddListEntries({AudioFile(L"a.wav")});
    app->Press(kStems2Option);
    Run();
    const auto starts = ReportedStarts(*app);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].arguments[4], qdriver::Utf8(out + L"\\"));
}

}  // namespace
