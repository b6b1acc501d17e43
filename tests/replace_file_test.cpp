#include "app/replace_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace glyfor {
namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string& path) {
    return static_cast<bool>(std::ifstream(path));
}

class ReplaceFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        target = ::testing::TempDir() + "replace_file_test_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
        std::remove(target.c_str());
        std::remove((target + ".tmp").c_str());
    }
    void TearDown() override { std::remove(target.c_str()); }

    // Writes `text` through a FileReplacement and commits it with the given outcome.
    bool replace(const std::string& text, bool written_ok) {
        FileReplacement file;
        if (!replace_file_open(file, target.c_str())) return false;
        std::fwrite(text.data(), 1, text.size(), file.stream);
        return replace_file_commit(file, written_ok);
    }

    std::string target;
};

TEST_F(ReplaceFileTest, CreatesAndReplacesWholeFilesByteForByte) {
    ASSERT_TRUE(replace("first\r\n", true));
    EXPECT_EQ(read_file(target), "first\r\n");
    const std::string second("second, longer\r\n\x1A\0 tail", 23);
    ASSERT_TRUE(replace(second, true));
    EXPECT_EQ(read_file(target), second);
    EXPECT_FALSE(exists(target + ".tmp"));
}

TEST_F(ReplaceFileTest, AFailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
    ASSERT_TRUE(replace("kept", true));
    errno = ENOSPC;
    EXPECT_FALSE(replace("half a fi", false));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(read_file(target), "kept");
    EXPECT_FALSE(exists(target + ".tmp"));
}

TEST_F(ReplaceFileTest, AFailedWriteCreatesNothing) {
    errno = 0;
    EXPECT_FALSE(replace("partial", false));
    EXPECT_NE(errno, 0);
    EXPECT_FALSE(exists(target));
    EXPECT_FALSE(exists(target + ".tmp"));
}

TEST_F(ReplaceFileTest, CannotOpenInAMissingDirectory) {
    FileReplacement file;
    const std::string path = ::testing::TempDir() + "no_such_directory/file.txt";
    EXPECT_FALSE(replace_file_open(file, path.c_str()));
    EXPECT_EQ(file.stream, nullptr);
}

}  // namespace
}  // namespace glyfor
