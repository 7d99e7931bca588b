// The settings file: read at start-up, written at close, kept safe when writing fails.
#include <gtest/gtest.h>

#include "driver.h"

namespace {

using qdriver::LaunchOptions;
using qdriver::Quorvel;
using qdriver::ReadBytes;

const std::string kEmptySettings = "OUT_OUTDIR=\r\nCMD_SHOW=0\r\n";

LaunchOptions WithSettings(const std::string& bytes) {
    LaunchOptions options;
    options.settings = bytes;
    return options;
}

void CloseAndExpectCleanExit(Quorvel& app) {
    app.RequestClose();
    EXPECT_EQ(app.WaitExit(), 0u);
}

TEST(Settings, FirstStartWithoutFileWarnsTwiceBeforeTheWindowThenWritesDefaults) {
    LaunchOptions options;
    options.settings.reset();
    Quorvel app(options);
    for (int read = 0; read < 2; ++read) {
        const qdriver::MessageBoxSeen box = app.WaitMessageBox();
        ASSERT_TRUE(box) << "read " << read;
        EXPECT_EQ(box.caption, L"Error");
        EXPECT_EQ(box.text, L"Cannot read config!");
        EXPECT_FALSE(box.mainWindowExisted);
        EXPECT_EQ(box.owner, nullptr);
        app.Dismiss(box);
    }
    ASSERT_NE(app.Window(), nullptr);
    EXPECT_FALSE(app.WaitMessageBox(300));
    EXPECT_EQ(app.Text(15), L"");
    EXPECT_FALSE(app.Checked(20));
    CloseAndExpectCleanExit(app);
    const auto written = ReadBytes(app.SettingsPath());
    ASSERT_TRUE(written);
    EXPECT_EQ(written->size(), 25u);
    EXPECT_EQ(*written, kEmptySettings);
}

struct ShowConsoleCase {
    const char* line;  // "" leaves the key out
    bool ticked;
};

TEST(Settings, ShowConsoleValueDecidesTheCheckboxAndIsWrittenBackAsDigit) {
    const ShowConsoleCase cases[] = {
        {"CMD_SHOW=1", true},   {"CMD_SHOW=2", true},   {"CMD_SHOW=-1", true},
        {"CMD_SHOW=1x", true},  {"CMD_SHOW=  1", true}, {"CMD_SHOW=\t1", true},
        {"CMD_SHOW=$1", true},  {"CMD_SHOW=%1", true},  {"CMD_SHOW=0", false},
        {"CMD_SHOW=", false},   {"CMD_SHOW=x", false},  {"CMD_SHOW=$0", false},
        {"CMD_SHOW=+0", false}, {"CMD_SHOW=%2", false}, {"", false},
    };
    for (const ShowConsoleCase& c : cases) {
        SCOPED_TRACE(c.line);
        Quorvel app(WithSettings("OUT_OUTDIR=C:\\x\\\r\n" + std::string(c.line) + "\r\n"));
        ASSERT_NE(app.Window(), nullptr);
        EXPECT_EQ(app.Checked(20), c.ticked);
        CloseAndExpectCleanExit(app);
        EXPECT_EQ(ReadBytes(app.SettingsPath()),
                  std::string("OUT_OUTDIR=C:\\x\\\r\nCMD_SHOW=") + (c.ticked ? "1" : "0") + "\r\n");
    }
}

struct ReadCase {
    const char* name;
    std::string file;
    std::wstring field;
    bool ticked;
};

TEST(Settings, FileIsReadByItsLineAndKeyRules) {
    const ReadCase cases[] = {
        {"CR LF", "OUT_OUTDIR=C:\\out\\\r\nCMD_SHOW=1\r\n", L"C:\\out\\", true},
        {"LF only", "OUT_OUTDIR=C:\\out\\\nCMD_SHOW=1\n", L"C:\\out\\", true},
        {"CR only", "OUT_OUTDIR=C:\\out\\\rCMD_SHOW=1\r", L"C:\\out\\", true},
        {"no final line end", "OUT_OUTDIR=C:\\out\\\r\nCMD_SHOW=1", L"C:\\out\\", true},
        {"byte-order mark", "\xEF\xBB\xBFOUT_OUTDIR=C:\\bom\\\r\nCMD_SHOW=1\r\n", L"C:\\bom\\",
         true},
        {"equals sign in the folder", "OUT_OUTDIR=D:\\a=b\\\r\n", L"D:\\a=b\\", false},
        {"blanks kept", "OUT_OUTDIR= C:\\x \r\n", L" C:\\x ", false},
        {"other case not a key", "out_outdir=C:\\x\\\r\nCMD_SHOW=1\r\n", L"", true},
        {"blank before = not a key", "OUT_OUTDIR =C:\\x\\\r\n", L"", false},
        {"later line wins", "OUT_OUTDIR=C:\\a\\\r\nOUT_OUTDIR=C:\\b\\\r\n", L"C:\\b\\", false},
        {"later bare key empties", "OUT_OUTDIR=C:\\a\\\r\nOUT_OUTDIR\r\n", L"", false},
        {"unknown lines skipped", "=x\r\n\r\nFOO=1\r\nOUT_OUTDIR=C:\\z\\\r\n", L"C:\\z\\", false},
        {"letters beyond ASCII",
         "OUT_OUTDIR=C:\\M\xC3\xBCsik\\Bj\xC3\xB6rk \xE2\x80\x93 \xE6\x9B\xB2\\\r\n",
         L"C:\\M\u00fcsik\\Bj\u00f6rk \u2013 \u66f2\\", false},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        Quorvel app(WithSettings(c.file));
        ASSERT_NE(app.Window(), nullptr);
        EXPECT_FALSE(app.WaitMessageBox(0));
        EXPECT_EQ(app.Text(15), c.field);
        EXPECT_EQ(app.Checked(20), c.ticked);
        CloseAndExpectCleanExit(app);
        EXPECT_EQ(ReadBytes(app.SettingsPath()), "OUT_OUTDIR=" + qdriver::Utf8(c.field) +
                                                     "\r\nCMD_SHOW=" + (c.ticked ? "1" : "0") +
                                                     "\r\n");
    }
}

TEST(Settings, FileHeldOpenByAnotherProgramAtCloseKeepsItsContent) {
    const std::string original = "OUT_OUTDIR=C:\\kept\\\r\nCMD_SHOW=1\r\nEXTRA=1\r\n";
    Quorvel app(WithSettings(original));
    ASSERT_NE(app.Window(), nullptr);
    app.SetFieldText(15, L"C:\\changed\\");
    HANDLE held = CreateFileW(app.SettingsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    app.BringToFront();
    app.RequestClose();
    const qdriver::MessageBoxSeen box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box.caption, L"Error");
    EXPECT_EQ(box.text, L"Cannot write config!");
    EXPECT_EQ(box.owner, app.FindMainWindow()) << "owned by the foreground window";
    EXPECT_FALSE(IsWindowEnabled(app.FindMainWindow())) << "modal to the window";
    app.Dismiss(box);
    EXPECT_EQ(app.WaitExit(), 0u);
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(app.SettingsPath()), original);
    EXPECT_EQ(qdriver::FolderEntries(app.Folder()),
              (std::vector<std::wstring>{L"quorvel.cfg", L"quorvel.exe"}));
}

TEST(Settings, HiddenFileIsRewrittenAndStaysHidden) {
    Quorvel app(WithSettings(kEmptySettings));
    ASSERT_NE(app.Window(), nullptr);
    ASSERT_TRUE(SetFileAttributesW(app.SettingsPath().c_str(), FILE_ATTRIBUTE_HIDDEN));
    app.SetFieldText(15, L"C:\\hidden\\");
    CloseAndExpectCleanExit(app);
    EXPECT_FALSE(app.WaitMessageBox(0));
    EXPECT_EQ(ReadBytes(app.SettingsPath()), "OUT_OUTDIR=C:\\hidden\\\r\nCMD_SHOW=0\r\n");
    EXPECT_NE(GetFileAttributesW(app.SettingsPath().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// Linux's immutable flag makes a folder refuse new files whoever asks, root included.
class Immutable {
  public:
    explicit Immutable(const std::wstring& path) : path_(path) {
        locked_ = qdriver::SetImmutable(path_, true);
    }
    ~Immutable() { qdriver::SetImmutable(path_, false); }
    bool Locked() const { return locked_; }

  private:
    std::wstring path_;
    bool locked_ = false;
};

TEST(Settings, FolderRefusingNewFilesFallsBackToRewritingTheFileInPlace) {
    Quorvel app(WithSettings("OUT_OUTDIR=C:\\old\\\r\nCMD_SHOW=0\r\nEXTRA=1\r\n"));
    ASSERT_NE(app.Window(), nullptr);
    app.SetFieldText(15, L"C:\\new\\");
    Immutable lock(app.Folder());
    ASSERT_TRUE(lock.Locked());
    CloseAndExpectCleanExit(app);
    EXPECT_FALSE(app.WaitMessageBox(0));
    EXPECT_EQ(ReadBytes(app.SettingsPath()), "OUT_OUTDIR=C:\\new\\\r\nCMD_SHOW=0\r\n");
}

TEST(Settings, NothingWritableReportsTheFailureAndKeepsTheFile) {
    const std::string original = "OUT_OUTDIR=C:\\old\\\r\nCMD_SHOW=1\r\n";
    Quorvel app(WithSettings(original));
    ASSERT_NE(app.Window(), nullptr);
    app.SetFieldText(15, L"C:\\new\\");
    Immutable fileLock(app.SettingsPath());
    Immutable folderLock(app.Folder());
    ASSERT_TRUE(fileLock.Locked() && folderLock.Locked());
    app.RequestClose();
    const qdriver::MessageBoxSeen box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box.text, L"Cannot write config!");
    app.Dismiss(box);
    EXPECT_EQ(app.WaitExit(), 0u);
    EXPECT_EQ(ReadBytes(app.SettingsPath()), original);
}

const wchar_t kDevelopmentFolder[] = L"C:\\Program Files\\Quorvel Studio\\Compiler\\";

TEST(Settings, InsideTheDevelopmentCompilerFolderTheCurrentDirectoryHoldsTheFile) {
    qdriver::TempFolder current(L"quorvel current");
    qdriver::WriteBytes(current.Path() + L"quorvel.cfg",
                        "OUT_OUTDIR=C:\\from-cwd\\\r\nCMD_SHOW=1\r\n");
    CreateDirectoryW(L"C:\\Program Files\\Quorvel Studio", nullptr);
    LaunchOptions options;
    options.folder = kDevelopmentFolder;
    options.workingDirectory = current.Path();
    options.settings = "OUT_OUTDIR=C:\\beside-exe\\\r\nCMD_SHOW=0\r\n";
    {
        Quorvel app(options);
        ASSERT_NE(app.Window(), nullptr);
        EXPECT_EQ(app.Text(15), L"C:\\from-cwd\\");
        app.SetFieldText(15, L"C:\\written\\");
        CloseAndExpectCleanExit(app);
    }
    EXPECT_EQ(ReadBytes(current.Path() + L"quorvel.cfg"),
              "OUT_OUTDIR=C:\\written\\\r\nCMD_SHOW=1\r\n");
    EXPECT_EQ(ReadBytes(std::wstring(kDevelopmentFolder) + L"quorvel.cfg"),
              "OUT_OUTDIR=C:\\beside-exe\\\r\nCMD_SHOW=0\r\n");
    qdriver::RemoveTree(L"C:\\Program Files\\Quorvel Studio\\");
}

}  // namespace
