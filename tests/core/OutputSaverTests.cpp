#include "core/session/OutputSaver.h"
#include "tests/helpers/ChildProcess.h"
#include "tests/helpers/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using velmora::testing::ChildProcess;

namespace {

class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "velmora-save-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder()
    {
        ::chmod(path_.c_str(), 0755);
        fs::remove_all(path_);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(OutputSaver, SuggestsTheLocalDateAndTimeWithoutSeparatorsInTheTime)
{
    velmora::testing::ScopedTimeZone centralEurope("CET-1");
    // 5 December 2026, 13:03:09 UTC is 14:03:09 in central Europe.
    const auto moment = std::chrono::system_clock::time_point(std::chrono::seconds(1796475789));
    EXPECT_EQ(velmora::suggestedLogFileName(moment), "serial-log-2026-12-05T140309.txt");
    EXPECT_EQ(velmora::suggestedLogFileName(moment + 500ms), "serial-log-2026-12-05T140309.txt");
}

TEST(OutputSaver, WritesTheTextByteForByteReplacesAnOldFileAndLeavesNothingElseBehind)
{
    TemporaryFolder folder;
    const fs::path target = folder.path() / "log.txt";
    EXPECT_EQ(velmora::writeFileAtomically(target, ""), std::nullopt);
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(target), 0u);

    const std::string text =
        "--- Connected to /dev/ttyACM0 @ 115200 8N1 ---\n\xE2\x86\x90 21.5,40\n\xE2\x86\x92 Hello<CR><LF>\n";
    EXPECT_EQ(velmora::writeFileAtomically(target, text), std::nullopt);
    EXPECT_EQ(contents(target), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

TEST(OutputSaver, AFolderWithoutWritePermissionGivesTheSystemsReasonAndNoFile)
{
    TemporaryFolder folder;
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);
    const fs::path target = folder.path() / "log.txt";
    std::vector<std::string> command{PROBE, "save", target.string(), "text"};
    // Root may write anywhere, so the save runs as a user without rights.
    if (::geteuid() == 0)
        command.push_back("--as-nobody");
    ChildProcess saver(command);
    EXPECT_EQ(saver.readLine(5s), "failed Permission denied");
    EXPECT_FALSE(fs::exists(target));

    const fs::path missing = folder.path() / "gone" / "log.txt";
    EXPECT_EQ(velmora::writeFileAtomically(missing, "x"), "No such file or directory");
}
