// The environment button, reached with the keyboard alone: the batch file goes through
// the command interpreter named by COMSPEC, or cmd.exe, in the program's current directory.
#include <gtest/gtest.h>

#include "control_numbers.h"
#include "driver.h"

namespace {

using qdriver::LaunchOptions;
using qdriver::Quorvel;
using qdriver::WaitFor;

using qdriver::kEnvButton;

std::wstring FakeInterpreter() {
    wchar_t path[4096] = {};
    GetEnvironmentVariableW(L"QUORVEL_FAKE_INTERPRETER", path, 4096);
    return qdriver::WindowsPath(qdriver::Utf8(path));
}

void PlaceInterpreter(const std::wstring& path) {
    ASSERT_TRUE(CopyFileW(FakeInterpreter().c_str(), path.c_str(), FALSE)) << qdriver::Utf8(path);
}

struct Record {
    std::string commandLine;
    std::string module;
    std::string directory;
};

std::vector<Record> Records(const std::wstring& log) {
    std::vector<Record> records;
    const std::string text = qdriver::ReadBytes(log).value_or("");
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        if (line.rfind("cmdline=", 0) == 0) {
            records.push_back({line.substr(8), {}, {}});
        } else if (line.rfind("module=", 0) == 0 && !records.empty()) {
            records.back().module = line.substr(7);
        } else if (line.rfind("cwd=", 0) == 0 && !records.empty()) {
            records.back().directory = line.substr(4);
        }
    }
    return records;
}

class EnvironmentTest : public testing::Test {
  protected:
    // Starts the program in its own current directory, away from the exe's folder.
    void Start(std::vector<std::wstring> environment) {
        environment.push_back(L"QUORVEL_FAKE_INTERPRETER_LOG=" + Log());
        LaunchOptions options;
        options.workingDirectory = current.Path();
        options.environment = environment;
        app.emplace(options);
        ASSERT_NE(app->Window(), nullptr);
    }

    std::wstring Log() const { return current.Path() + L"interpreter-log.txt"; }
    std::string CurrentDirectory() const {
        const std::string path = qdriver::Utf8(current.Path());
        return path.substr(0, path.size() - 1);
    }

    // Shift+Tab from no focus goes TEST, checkbox, transcript, list, then the button.
    void PressEnvButtonWithKeyboard(bool waitForIt = true) {
        app->BringToFront();
        for (int i = 0; i < 5; ++i) {
            app->PressKey(VK_TAB, true);
        }
        ASSERT_TRUE(WaitFor([&] { return app->FocusedControl() == kEnvButton; }, 3000));
        app->PressKey(VK_SPACE, false, false, waitForIt);
    }

    qdriver::TempFolder current{L"quorvel cwd"};
    qdriver::TempFolder tools{L"quorvel-tools"};
    std::optional<Quorvel> app;
};

TEST_F(EnvironmentTest, ComspecInterpreterGetsTheUnquotedCommandLine) {
    const std::wstring shell = tools.Path() + L"myshell.exe";
    PlaceInterpreter(shell);
    Start({L"COMSPEC=" + shell});
    PressEnvButtonWithKeyboard();
    ASSERT_TRUE(WaitFor([&] { return Records(Log()).size() == 1; }));
    const Record record = Records(Log())[0];
    EXPECT_EQ(record.commandLine, qdriver::Utf8(shell) + " /c anaconda_env.bat");
    EXPECT_EQ(record.module, qdriver::Utf8(shell));
    EXPECT_EQ(record.directory, CurrentDirectory());
    EXPECT_FALSE(app->WaitMessageBox(300));
}

TEST_F(EnvironmentTest, ComspecWithoutExtensionIsTriedWithEachExtensionInTurn) {
    PlaceInterpreter(tools.Path() + L"myshell.exe");
    PlaceInterpreter(tools.Path() + L"myshell.cmd.exe");  // no match: extensions are appended whole
    const std::wstring comspec = tools.Path() + L"myshell";
    Start({L"COMSPEC=" + comspec});
    PressEnvButtonWithKeyboard();
    ASSERT_TRUE(WaitFor([&] { return Records(Log()).size() == 1; }));
    const Record record = Records(Log())[0];
    EXPECT_EQ(record.commandLine, qdriver::Utf8(comspec) + " /c anaconda_env.bat");
    EXPECT_EQ(record.module, qdriver::Utf8(tools.Path() + L"myshell.exe"));
}

TEST_F(EnvironmentTest, MissingOrUnsetComspecFallsBackToCmdFromTheCurrentDirectory) {
    for (const std::wstring comspec : {tools.Path() + L"nothing-here.exe", std::wstring()}) {
        SCOPED_TRACE(qdriver::Utf8(comspec));
        PlaceInterpreter(current.Path() + L"cmd.exe");
        DeleteFileW(Log().c_str());
        Start({L"COMSPEC=" + comspec});
        PressEnvButtonWithKeyboard();
        ASSERT_TRUE(WaitFor([&] { return Records(Log()).size() == 1; }));
        const Record record = Records(Log())[0];
        EXPECT_EQ(record.commandLine, "cmd.exe /c anaconda_env.bat");
        EXPECT_EQ(record.module, qdriver::Utf8(current.Path() + L"cmd.exe"));
        app.reset();
    }
}

TEST_F(EnvironmentTest, SystemInterpreterRunsTheBatchFileInTheCurrentDirectory) {
    qdriver::WriteBytes(current.Path() + L"anaconda_env.bat",
                        "@echo ran>mark.txt\r\n@cd>>mark.txt\r\n");
    Start({L"COMSPEC="});
    PressEnvButtonWithKeyboard();
    ASSERT_TRUE(WaitFor([&] { return qdriver::FileExists(current.Path() + L"mark.txt"); }, 15000));
    app->Sync();
    EXPECT_EQ(qdriver::ReadBytes(current.Path() + L"mark.txt"),
              "ran\r\n" + CurrentDirectory() + "\r\n");
    EXPECT_FALSE(qdriver::FileExists(app->Folder() + L"mark.txt"));
}

TEST_F(EnvironmentTest, MissingBatchFileShowsNothingAndTheProgramGoesOn) {
    Start({});
    PressEnvButtonWithKeyboard();
    Sleep(1500);
    EXPECT_FALSE(app->WaitMessageBox(300));
    app->AddListEntries({L"a", L"b"});
    app->Press(qdriver::kTestButton);
    EXPECT_TRUE(WaitFor([&] { return app->ListSelection() == 1; }, 10000));
    app->RequestClose();
    EXPECT_EQ(app->WaitExit(), 0u);
}

TEST_F(EnvironmentTest, InputDuringTheInterpreterIsHandledAfterwardsInOrder) {
    const std::wstring shell = tools.Path() + L"slowshell.exe";
    PlaceInterpreter(shell);
    Start({L"COMSPEC=" + shell, L"QUORVEL_FAKE_INTERPRETER_SLEEP=1500"});
    app->AddListEntries({L"a", L"b", L"c"});
    PressEnvButtonWithKeyboard(false);
    ASSERT_TRUE(WaitFor([&] { return Records(Log()).size() == 1; }));
    app->Press(qdriver::kTestButton);  // TEST selects the last entry
    ASSERT_TRUE(WaitFor([&] { return app->ListSelection() == 2; }, 10000));
    EXPECT_NE(qdriver::ReadBytes(Log()).value_or("").find("slept"), std::string::npos)
        << "the press was handled before the interpreter had ended";
}

}  // namespace
