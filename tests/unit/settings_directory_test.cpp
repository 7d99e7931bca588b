#include "settings/settings_directory.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel {
namespace {

struct DirectoryCase {
    std::string executable;
    std::string current;
    std::string expected;
};

class SettingsDirectoryTest : public testing::TestWithParam<DirectoryCase> {};

TEST_P(SettingsDirectoryTest, ChoosesFolder) {
    const DirectoryCase& c = GetParam();
    EXPECT_EQ(ChooseSettingsDirectory(c.executable, c.current), c.expected);
}

const std::string kDev = kDevelopmentCompilerDirectory;

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsDirectoryTest,
    testing::Values(DirectoryCase{"C:\\Apps\\Quorvel\\quorvel.exe", "D:\\work",
                                  "C:\\Apps\\Quorvel\\"},
                    DirectoryCase{"C:\\quorvel.exe", "D:\\work", "C:\\"},
                    DirectoryCase{"C:/Apps/quorvel.exe", "D:\\work", "C:/Apps/\\"},
                    DirectoryCase{"\\\\server\\share\\q.exe", "D:\\", "\\\\server\\share\\"},
                    // Inside the development compiler's folder the current directory is used...
                    DirectoryCase{kDev + "quorvel.exe", "D:\\work", "D:\\work\\"},
                    DirectoryCase{kDev + "quorvel.exe", "D:\\", "D:\\"},
                    // ...but only on an exact match, letter case included.
                    DirectoryCase{"C:\\program files\\quorvel studio\\compiler\\quorvel.exe",
                                  "D:\\work", "C:\\program files\\quorvel studio\\compiler\\"},
                    DirectoryCase{kDev + "sub\\quorvel.exe", "D:\\work", kDev + "sub\\"}));

TEST(SettingsDirectory, DevelopmentDirectoryIsUnderProgramFilesWithBackslash) {
    const std::string dev = kDevelopmentCompilerDirectory;
    EXPECT_EQ(dev.rfind("C:\\Program Files\\", 0), 0u);
    EXPECT_EQ(dev.back(), '\\');
}

}  // namespace
}  // namespace quorvel
