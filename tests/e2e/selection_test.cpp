// Collecting files in the list and choosing the output folder, through the real
// system dialogs and real drag-and-drop from another process.
#include <gtest/gtest.h>

#include "control_numbers.h"
#include "driver.h"
#include "shell_ui.h"

namespace {

using qdriver::Quorvel;
using qdriver::WaitFor;
using Paths = std::vector<std::wstring>;

using namespace qdriver;  // control numbers

const std::wstring kBjork = L"Bj\u00f6rk \u2013 J\u00f3ga.wav";
const std::wstring kCjk = L"\u66f2 \u4e00.wav";

void Touch(const std::wstring& path) {
    qdriver::WriteBytes(path, "RIFF");
}

class SelectionTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(app.Window(), nullptr); }

    // Opens the file dialog with the add button, navigates to `folder` and confirms `typed`.
    void AddThroughDialog(const std::wstring& folder, const std::wstring& typed) {
        app.Press(kAddFilesButton);
        HWND dialog = qdriver::WaitDialog(app, L"Audiofile");
        ASSERT_NE(dialog, nullptr);
        if (!folder.empty()) {
            OpenFolder(dialog, folder);
        }
        qdriver::TypeFileNameAndConfirm(dialog, typed);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
        app.Sync();
    }

    // Typing a folder into the file-name box and confirming opens that folder.
    static void OpenFolder(HWND dialog, const std::wstring& folder) {
        qdriver::TypeFileNameAndConfirm(dialog, folder);
        Sleep(300);
    }

    void ExpectInfo(const wchar_t* text) {
        const qdriver::MessageBoxSeen box = app.WaitMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box.caption, L"Info");
        EXPECT_EQ(box.text, text);
        app.Dismiss(box);
    }

    void ExpectNoMessage() { EXPECT_FALSE(app.WaitMessageBox(300)); }

    std::wstring BrowseAndChoose(const std::vector<std::wstring>& labels) {
        app.Press(kBrowseButton);
        HWND dialog = qdriver::WaitDialog(app, L"", L"SysTreeView32");
        EXPECT_NE(dialog, nullptr);
        if (dialog == nullptr) {
            return {};
        }
        EXPECT_TRUE(qdriver::SelectTreePath(dialog, labels))
            << qdriver::Utf8(qdriver::DescribeTree(dialog));
        Sleep(200);  // the dialog takes the new selection over asynchronously
        qdriver::PressDialogButton(dialog, IDOK);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        app.Sync();
        return app.Text(kOutdirField);
    }

    // The tree labels that lead to a folder of drive C: or Z:.
    static std::vector<std::wstring> TreeLabels(const std::wstring& folder) {
        std::vector<std::wstring> labels = {L"Desktop", L"My Computer", folder.substr(0, 2)};
        size_t start = 3;
        while (start < folder.size()) {
            const size_t end = folder.find(L'\\', start);
            labels.push_back(folder.substr(start, end - start));
            start = end == std::wstring::npos ? folder.size() : end + 1;
        }
        return labels;
    }

    Quorvel app;
    qdriver::TempFolder audio{L"quorvel audio Bj\u00f6rk"};
};

TEST_F(SelectionTest, SeveralFilesFromOneDialogKeepTheReportedOrderWithOneBackslash) {
    for (const std::wstring& name :
         {std::wstring(L"a.wav"), std::wstring(L"b b.wav"), kBjork, kCjk}) {
        Touch(audio.Path() + name);
    }
    AddThroughDialog(audio.Path(), L"\"a.wav\" \"b b.wav\" \"" + kBjork + L"\" \"" + kCjk + L"\"");
    ExpectNoMessage();
    EXPECT_EQ(app.ListEntries(), (Paths{audio.Path() + L"a.wav", audio.Path() + L"b b.wav",
                                        audio.Path() + kBjork, audio.Path() + kCjk}));
}

TEST_F(SelectionTest, FilesInTheRootOfADriveGetExactlyOneBackslash) {
    // Wine maps drive Z: to the Linux root.
    const Paths files = {L"Z:\\quorvel-e2e-root-1.wav", L"Z:\\quorvel-e2e-root-2.wav"};
    for (const std::wstring& file : files) {
        Touch(file);
    }
    AddThroughDialog(L"Z:\\", L"\"quorvel-e2e-root-1.wav\" \"quorvel-e2e-root-2.wav\"");
    for (const std::wstring& file : files) {
        DeleteFileW(file.c_str());
    }
    EXPECT_EQ(app.ListEntries(), files);
}

TEST_F(SelectionTest, OneFileGivesOneEntryAndTheSameFileAgainASecond) {
    Touch(audio.Path() + kBjork);
    AddThroughDialog(L"", audio.Path() + kBjork);
    AddThroughDialog(L"", audio.Path() + kBjork);
    ExpectNoMessage();
    EXPECT_EQ(app.ListEntries(), (Paths{audio.Path() + kBjork, audio.Path() + kBjork}));
}

TEST_F(SelectionTest, CancelTellsNoFileWasSelectedAndKeepsTheList) {
    app.AddListEntries({L"C:\\kept.wav"});
    app.Press(kAddFilesButton);
    HWND dialog = qdriver::WaitDialog(app, L"Audiofile");
    ASSERT_NE(dialog, nullptr);
    qdriver::PressDialogButton(dialog, IDCANCEL);
    ExpectInfo(L"No Inputfile selected!");
    EXPECT_EQ(app.ListEntries(), Paths{L"C:\\kept.wav"});
}

TEST_F(SelectionTest, OnlyTheFirstChosenPathIsChecked) {
    Touch(audio.Path() + L"a.wav");
    struct Case {
        const wchar_t* typed;
        bool added;
        Paths entries;
    };
    const Case cases[] = {
        {L"missing.wav", false, {}},
        {L"\"missing.wav\" \"a.wav\"", false, {}},
        {L"\"a.wav\" \"missing.wav\"", true, {L"a.wav", L"missing.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qdriver::Utf8(c.typed));
        app.Send(kFileList, LB_RESETCONTENT);
        AddThroughDialog(audio.Path(), c.typed);
        if (c.added) {
            ExpectNoMessage();
        } else {
            ExpectInfo(L"No Inputfile selected!");
        }
        Paths expected;
        for (const std::wstring& name : c.entries) {
            expected.push_back(audio.Path() + name);
        }
        EXPECT_EQ(app.ListEntries(), expected);
    }
}

TEST_F(SelectionTest, AiffFilesShowOnlyUnderAllAndPassThere) {
    Touch(audio.Path() + L"x.aiff");
    Touch(audio.Path() + L"y.aif");
    app.Press(kAddFilesButton);
    HWND dialog = qdriver::WaitDialog(app, L"Audiofile");
    ASSERT_NE(dialog, nullptr);
    OpenFolder(dialog, audio.Path());
    qdriver::ChooseFilter(dialog, 3);  // AIFF (*.aif)
    EXPECT_TRUE(WaitFor([&] { return qdriver::ShownFileCount(dialog) == 1; }, 3000))
        << qdriver::ShownFileCount(dialog);
    qdriver::ChooseFilter(dialog, 4);  // All (*.*)
    EXPECT_TRUE(WaitFor([&] { return qdriver::ShownFileCount(dialog) == 2; }, 3000))
        << qdriver::ShownFileCount(dialog);
    qdriver::TypeFileNameAndConfirm(dialog, L"x.aiff");
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    app.Sync();
    EXPECT_EQ(app.ListEntries(), Paths{audio.Path() + L"x.aiff"});
}

TEST_F(SelectionTest, RemoveTakesOutTheSelectedEntryAndClearEmptiesTheList) {
    app.AddListEntries({L"a", L"b", L"c"});
    app.Press(kRemoveFileButton);
    app.Sync();
    EXPECT_EQ(app.ListEntries(), (Paths{L"a", L"b", L"c"})) << "nothing selected, nothing removed";
    app.Send(kFileList, LB_SETCURSEL, 1);
    app.Press(kRemoveFileButton);
    app.Sync();
    EXPECT_EQ(app.ListEntries(), (Paths{L"a", L"c"}));
    app.Press(kClearListButton);
    app.Sync();
    EXPECT_TRUE(app.ListEntries().empty());
    app.Press(kClearListButton);
    app.Press(kRemoveFileButton);
    app.Sync();
    EXPECT_TRUE(app.ListEntries().empty());
    ExpectNoMessage();
}

TEST_F(SelectionTest, DroppedFilesAndFoldersAreAppendedInTheSourcesOrder) {
    const std::wstring subfolder = audio.Path() + L"album \u66f2";
    CreateDirectoryW(subfolder.c_str(), nullptr);
    const Paths dropped = {audio.Path() + L"b b.wav", audio.Path() + kBjork, subfolder,
                           audio.Path() + kCjk, audio.Path() + L"a.wav"};
    for (const std::wstring& path : dropped) {
        if (path != subfolder) {
            Touch(path);
        }
    }
    app.AddListEntries({L"first"});
    EXPECT_EQ(qdriver::DragFilesOnto(app.Control(kFileList), dropped),
              static_cast<DWORD>(DROPEFFECT_COPY));
    Paths expected = {L"first"};
    expected.insert(expected.end(), dropped.begin(), dropped.end());
    EXPECT_TRUE(WaitFor([&] { return app.ListEntries().size() == expected.size(); }));
    EXPECT_EQ(app.ListEntries(), expected);
}

TEST_F(SelectionTest, DraggedTextIsRefused) {
    app.AddListEntries({L"first"});
    EXPECT_EQ(qdriver::DragTextOnto(app.Control(kFileList), L"C:\\not-a-file.wav"),
              static_cast<DWORD>(DROPEFFECT_NONE));
    app.Sync();
    EXPECT_EQ(app.ListEntries(), Paths{L"first"});
}

TEST_F(SelectionTest, TenThousandDroppedPathsLandCompleteAndInOrder) {
    Paths dropped;
    for (int i = 0; i < 10000; ++i) {
        dropped.push_back(audio.Path() + L"take " + std::to_wstring(10000 - i) + L".wav");
    }
    EXPECT_EQ(qdriver::DragFilesOnto(app.Control(kFileList), dropped),
              static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(WaitFor([&] { return app.Send(kFileList, LB_GETCOUNT) == 10000; }, 60000));
    // Reading every entry back across processes takes longer than the drop itself;
    // a stride through the whole list shows completeness and order.
    for (int i = 0; i < 10000; i += i < 9990 ? 37 : 1) {
        EXPECT_EQ(app.ListEntry(i), dropped[i]) << i;
    }
}

TEST_F(SelectionTest, BrowsingSetsTheFieldWithOneFinalBackslash) {
    const std::wstring folder = audio.Path() + L"stems \u66f2";
    CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_EQ(BrowseAndChoose(TreeLabels(folder)), folder + L"\\");
    EXPECT_EQ(BrowseAndChoose({L"Desktop", L"My Computer", L"Z:"}), L"Z:\\");
    ExpectNoMessage();
    app.RequestClose();
    EXPECT_EQ(app.WaitExit(), 0u);
    EXPECT_EQ(qdriver::ReadBytes(app.SettingsPath()), "OUT_OUTDIR=Z:\\\r\nCMD_SHOW=0\r\n");
}

TEST_F(SelectionTest, CancelledBrowseTellsTheUserAndKeepsTheField) {
    EXPECT_EQ(BrowseAndChoose(TreeLabels(audio.Path())), audio.Path());
    app.Press(kBrowseButton);
    HWND dialog = qdriver::WaitDialog(app, L"", L"SysTreeView32");
    ASSERT_NE(dialog, nullptr);
    qdriver::PressDialogButton(dialog, IDCANCEL);
    ExpectInfo(L"No Outputpath selected!");
    EXPECT_EQ(app.Text(kOutdirField), audio.Path());
}

}  // namespace
