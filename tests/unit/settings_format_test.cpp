#include "settings/settings_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitSettingLines, LineEndsAndMark) {
    struct Case {
        std::string input;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"a\r\n\r\n", {"a", ""}},
        {"\xEF\xBB\xBFOUT_OUTDIR=x\r\n", {"OUT_OUTDIR=x"}},
        {"\xEF\xBB\xBF", {}},
        {"a\n\xEF\xBB\xBF"
         "b",
         {"a",
          "\xEF\xBB\xBF"
          "b"}},
        {"\xEF\xBB"
         "a",
         {"\xEF\xBB"
          "a"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitSettingLines(c.input), c.expected)
            << "input: " << testing::PrintToString(c.input);
    }
}

TEST(SplitKeyValue, Fields) {
    struct Case {
        std::string line;
        long long index;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"KEY=value", 1, "KEY"},
        {"KEY=value", 2, "value"},
        {"KEY", 1, "KEY"},
        {"KEY", 2, ""},
        {"a=b=c", 1, "a"},
        {"a=b=c", 2, "b"},
        {"=b", 1, ""},
        {"=b", 2, "b"},
        {"a=", 2, ""},
        {"a=b=c", 3, ""},
        {"a=b=c", 0, ""},
        {"a=b=c", -1, ""},
        {"", 1, ""},
        {"", 2, ""},
        {" k = v ", 2, " v "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitKeyValue(c.line, "=", c.index), c.expected)
            << c.line << " index " << c.index;
    }
    EXPECT_EQ(SplitKeyValue("a;b;c", ";", 2), "b");
    EXPECT_EQ(SplitKeyValue("a;b;c", "=", 1), "a;b;c");
}

TEST(FindSettingValue, Matching) {
    struct Case {
        std::string file;
        std::string key;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"OUT_OUTDIR=C:\\out\r\nCMD_SHOW=1\r\n", "OUT_OUTDIR", "C:\\out"},
        {"OUT_OUTDIR=C:\\out\r\nCMD_SHOW=1\r\n", "CMD_SHOW", "1"},
        {"OUT_OUTDIR=D:\\a=b\\\r\n", "OUT_OUTDIR", "D:\\a=b\\"},
        {"CMD_SHOW=1\nCMD_SHOW=0\n", "CMD_SHOW", "0"},
        {"OUT_OUTDIR=x\r\nOUT_OUTDIR\r\n", "OUT_OUTDIR", ""},
        {"OUT_OUTDIR=x\r\nOUT_OUTDIR=\r\n", "OUT_OUTDIR", ""},
        {"OUT_OUTDIR=x\r\nOUT_OUTDIRX=y\r\n", "OUT_OUTDIR", "x"},
        {"out_outdir=x\r\n", "OUT_OUTDIR", ""},
        {"OUT_OUTDIR =x\r\n", "OUT_OUTDIR", ""},
        {" OUT_OUTDIR=x\r\n", "OUT_OUTDIR", ""},
        {"OUT_OUTDIR=  x y  \r\n", "OUT_OUTDIR", "  x y  "},
        {"=x\r\n\r\n", "", ""},
        {"OUT_OUTDIR=a\r=b\r\n", "OUT_OUTDIR", "a"},
        {"\xEF\xBB\xBFOUT_OUTDIR=bom\r\n", "OUT_OUTDIR", "bom"},
        {"OUT_OUTDIR=lf\nCMD_SHOW=1", "CMD_SHOW", "1"},
        {"OUT_OUTDIR=cr\rCMD_SHOW=1\r", "OUT_OUTDIR", "cr"},
        {"CMD_SHOW=1\r\n", "OUT_OUTDIR", ""},
        {"", "CMD_SHOW", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindSettingValue(c.file, c.key), c.expected)
            << testing::PrintToString(c.file) << " key " << c.key;
    }
}

TEST(FormatSettings, ExactBytes) {
    const std::string expected = {0x4F, 0x55, 0x54, 0x5F, 0x4F, 0x55, 0x54, 0x44, 0x49,
                                  0x52, 0x3D, 0x0D, 0x0A, 0x43, 0x4D, 0x44, 0x5F, 0x53,
                                  0x48, 0x4F, 0x57, 0x3D, 0x30, 0x0D, 0x0A};
    EXPECT_EQ(FormatSettings("", false), expected);
    EXPECT_EQ(FormatSettings("C:\\Users\\Björk\\out", true),
              "OUT_OUTDIR=C:\\Users\\Björk\\out\r\nCMD_SHOW=1\r\n");
}

TEST(FormatSettings, ReadsBack) {
    const std::vector<std::string> dirs = {"", "C:\\out", "D:\\a=b\\", " spaced ", "=lead"};
    for (const std::string& dir : dirs) {
        for (bool show : {false, true}) {
            const std::string file = FormatSettings(dir, show);
            EXPECT_EQ(FindSettingValue(file, kOutputDirKey), dir);
            EXPECT_EQ(FindSettingValue(file, kShowConsoleKey), show ? "1" : "0");
        }
    }
}

}  // namespace
}  // namespace quorvel
