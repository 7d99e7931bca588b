#include "runs/command_line.h"

#include <gtest/gtest.h>

#include "command_line_split.h"

namespace quorvel {
namespace {

struct QuoteCase {
    std::string argument;
    std::string quoted;
};

TEST(QuoteArgument, QuotesOnlyWhatNeedsIt) {
    const QuoteCase cases[] = {
        {"C:\\out", "C:\\out"},
        {"D:\\", "D:\\"},
        {"C:\\music\\a.wav", "C:\\music\\a.wav"},
        {"", "\"\""},
        {"C:\\out dir\\", "\"C:\\out dir\\\\\""},
        {"C:\\My Music\\a b.wav", "\"C:\\My Music\\a b.wav\""},
        {"tab\there", "\"tab\there\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"a\\\"b", "\"a\\\\\\\"b\""},
        {"\\\\server\\share dir\\", "\"\\\\server\\share dir\\\\\""},
        {"Bj\xC3\xB6rk \xE2\x80\x93 J\xC3\xB3ga.wav",
         "\"Bj\xC3\xB6rk \xE2\x80\x93 J\xC3\xB3ga.wav\""},
    };
    for (const QuoteCase& c : cases) {
        EXPECT_EQ(QuoteArgument(c.argument), c.quoted) << c.argument;
        // And a Windows program gets the argument back exactly.
        EXPECT_EQ(SplitCommandLineArguments("tool.exe " + QuoteArgument(c.argument)),
                  (std::vector<std::string>{"tool.exe", c.argument}))
            << c.argument;
    }
}

TEST(ComposeToolParameters, KeepsThePlainFormAndQuotesPathsWithBlanks) {
    EXPECT_EQ(ComposeToolParameters("4stems", "C:\\out", "C:\\music\\a.wav"),
              "separate -p spleeter:4stems -o C:\\out C:\\music\\a.wav");
    EXPECT_EQ(ComposeToolParameters("2stems", "C:\\out dir\\", "C:\\My Music\\a b.wav"),
              "separate -p spleeter:2stems -o \"C:\\out dir\\\\\" \"C:\\My Music\\a b.wav\"");
    EXPECT_EQ(SplitCommandLineArguments("\"spleeter.exe\" " +
                                        ComposeToolParameters("5stems", "D:\\", "D:\\x y\\z.wav")),
              (std::vector<std::string>{"spleeter.exe", "separate", "-p", "spleeter:5stems", "-o",
                                        "D:\\", "D:\\x y\\z.wav"}));
}

}  // namespace
}  // namespace quorvel
