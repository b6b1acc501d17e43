#include "app/replace_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace glyfor {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Each test works in a directory of its own, so that it can tell every file left in it.
class ReplaceFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir = fs::path(::testing::TempDir()) /
              ("replace_file_test_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
               std::to_string(stamp));
        fs::create_directories(dir);
        target = (dir / "out.inc").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    // Writes `text` through a FileReplacement to `path` and commits it with the given outcome.
    bool replace(const std::string& text, bool written_ok, const std::string& path) {
        file = FileReplacement{};
        if (!replace_file_open(file, path.c_str())) return false;
        std::fwrite(text.data(), 1, text.size(), file.stream);
        return replace_file_commit(file, written_ok);
    }
    bool replace(const std::string& text, bool written_ok) {
        return replace(text, written_ok, target);
    }

    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir)) {
            found.insert(entry.path().filename().string());
        }
        return found;
    }

    fs::path dir;
    std::string target;
    FileReplacement file;
};

using Names = std::set<std::string>;

TEST_F(ReplaceFileTest, CreatesAndReplacesWholeFilesByteForByte) {
    ASSERT_TRUE(replace("first\r\n", true));
    EXPECT_EQ(read_file(target), "first\r\n");
    const std::string second("second, longer\r\n\x1A\0 tail", 23);
    ASSERT_TRUE(replace(second, true));
    EXPECT_EQ(read_file(target), second);
    EXPECT_EQ(names(), Names{"out.inc"});
}

TEST_F(ReplaceFileTest, TheTemporaryFileHasAFreshNameBesideTheTarget) {
    FileReplacement first;
    FileReplacement second;
    ASSERT_TRUE(replace_file_open(first, target.c_str()));
    ASSERT_TRUE(replace_file_open(second, target.c_str()));
    EXPECT_NE(first.temp_path, second.temp_path);
    EXPECT_EQ(fs::path(first.temp_path).parent_path(), dir);
    EXPECT_EQ(first.temp_path.rfind(target + ".", 0), 0u) << first.temp_path;
    // Both writers finish; the last rename wins and nothing else stays.
    std::fputs("first", first.stream);
    std::fputs("second", second.stream);
    ASSERT_TRUE(replace_file_commit(first, true));
    ASSERT_TRUE(replace_file_commit(second, true));
    EXPECT_EQ(read_file(target), "second");
    EXPECT_EQ(names(), Names{"out.inc"});
}

TEST_F(ReplaceFileTest, AFailedWriteKeepsTheOldFileAndNamesTheTemporary) {
    ASSERT_TRUE(replace("kept", true));
    errno = ENOSPC;
    EXPECT_FALSE(replace("half a fi", false));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(file.error_path, file.temp_path);
    EXPECT_NE(file.temp_path, target);
    EXPECT_EQ(read_file(target), "kept");
    EXPECT_EQ(names(), Names{"out.inc"});
}

TEST_F(ReplaceFileTest, AFailedWriteCreatesNothing) {
    errno = 0;
    EXPECT_FALSE(replace("partial", false));
    EXPECT_NE(errno, 0);
    EXPECT_EQ(names(), Names{});
}

// Files named as a temporary file once was are somebody else's: never opened or removed.
TEST_F(ReplaceFileTest, LeavesFilesOfTheOldTemporaryNameAlone) {
    write_file(target + ".tmp", "someone else's");
    ASSERT_TRUE(replace("new", true));
    EXPECT_EQ(read_file(target), "new");
    EXPECT_EQ(read_file(target + ".tmp"), "someone else's");
    EXPECT_EQ(names(), (Names{"out.inc", "out.inc.tmp"}));
}

struct RefusedCase {
    const char* name;
    std::string path;
    int error;
    bool names_the_target;
};

TEST_F(ReplaceFileTest, RefusesWhatCannotBecomeTheFile) {
    fs::create_directory(dir / "d");
    write_file(dir / "d.tmp", "kept");
    const RefusedCase cases[] = {
        {"a directory", (dir / "d").string(), EISDIR, true},
        {"an empty name", "", ENOENT, true},
        {"a missing directory", (dir / "missing" / "out.inc").string(), ENOENT, true},
    };
    for (const RefusedCase& k : cases) {
        SCOPED_TRACE(k.name);
        FileReplacement refused;
        errno = 0;
        EXPECT_FALSE(replace_file_open(refused, k.path.c_str()));
        EXPECT_EQ(errno, k.error);
        EXPECT_EQ(refused.stream, nullptr);
        EXPECT_EQ(refused.error_path, k.path);
        EXPECT_TRUE(fs::is_directory(dir / "d"));
        EXPECT_EQ(read_file(dir / "d.tmp"), "kept");
        EXPECT_EQ(names(), (Names{"d", "d.tmp"}));
    }
}

#ifndef _WIN32
TEST_F(ReplaceFileTest, AnOldTemporaryNameLinkedElsewhereDoesNotRedirectTheFile) {
    write_file(dir / "victim", "precious");
    fs::create_symlink(dir / "victim", target + ".tmp");
    ASSERT_TRUE(replace("font", true));
    EXPECT_EQ(read_file(dir / "victim"), "precious");
    EXPECT_TRUE(fs::is_symlink(target + ".tmp"));
    EXPECT_EQ(read_file(target), "font");
}

TEST_F(ReplaceFileTest, ALinkToAFileReplacesTheFileAndStaysALink) {
    fs::create_directory(dir / "real");
    write_file(dir / "real" / "font.inc", "old");
    // A relative link, to a relative link, resolved from the directory of each.
    fs::create_symlink("real/font.inc", dir / "hop");
    fs::create_symlink("hop", target);
    ASSERT_TRUE(replace("new", true));
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_TRUE(fs::is_symlink(dir / "hop"));
    EXPECT_EQ(read_file(dir / "real" / "font.inc"), "new");
    EXPECT_EQ(names(), (Names{"hop", "out.inc", "real"}));
    EXPECT_EQ(fs::directory_iterator(dir / "real")->path().filename(), "font.inc");
}

TEST_F(ReplaceFileTest, ALinkToNoFileYetCreatesTheFileItNames) {
    fs::create_symlink("made.inc", target);
    ASSERT_TRUE(replace("new", true));
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(read_file(dir / "made.inc"), "new");
}

mode_t mode_of(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

TEST_F(ReplaceFileTest, KeepsThePermissionsOfTheReplacedFile) {
    const mode_t mask = umask(022);
    ASSERT_TRUE(replace("new", true));
    EXPECT_EQ(mode_of(target), 0644u);  // 0666 less the umask, not a temporary file's 0600
    for (const mode_t mode : {0640u, 0600u, 0755u, 0444u}) {
        ASSERT_EQ(chmod(target.c_str(), mode), 0);
        ASSERT_TRUE(replace("again", true)) << std::oct << mode;
        EXPECT_EQ(mode_of(target), mode);
    }
    umask(mask);
}

TEST_F(ReplaceFileTest, ADeviceIsWrittenIntoNotReplaced) {
    ASSERT_TRUE(replace("gone", true, "/dev/null"));
    EXPECT_TRUE(file.temp_path.empty());
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    // A device that fails the write is reported under its own name.
    EXPECT_FALSE(replace(std::string(1 << 16, 'x'), true, "/dev/full"));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(file.error_path, "/dev/full");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(ReplaceFileTest, ATemporaryFileThatCannotBeCreatedIsNamed) {
    if (geteuid() == 0) GTEST_SKIP() << "root may create files in any directory";
    write_file(target, "kept");
    ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
    FileReplacement refused;
    EXPECT_FALSE(replace_file_open(refused, target.c_str()));
    chmod(dir.c_str(), 0755);
    EXPECT_EQ(errno, EACCES);
    EXPECT_EQ(refused.error_path.rfind(target + ".", 0), 0u) << refused.error_path;
    EXPECT_NE(refused.error_path, target);
    EXPECT_EQ(read_file(target), "kept");
}
#endif

}  // namespace
}  // namespace glyfor
