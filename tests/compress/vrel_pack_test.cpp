// The vrel-pack program as a person uses it on a tally file.

#include "tests/support/built_program.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

using namespace testdata;
namespace fs = std::filesystem;

namespace {

struct PackRun
{
    int status;
    std::string err;
};

PackRun vrelPack(const TempDir &dir, const std::string &args)
{
    const std::string program = testing_support::builtProgramPath("vrel-pack");
    const std::string errFile = (dir / "stderr").string();
    const int raw = std::system(("cd '" + dir.path().string() + "' && '" + program + "' " + args
                                 + " >/dev/null 2>'" + errFile + "'").c_str());
    PackRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(errFile)};
    fs::remove(errFile);
    return run;
}

} // namespace

TEST(VrelPack, PacksAndUnpacksWithEachMethod)
{
    TempDir dir;
    const std::string tally = text(20000, 41) + runs(100000, 42); // shrinks well: Auto takes Fast
    writeFile(dir / "Vreltally.txt", tally);
    const std::pair<std::string, std::string> cases[] = {
        {"", "WRZL"}, {"--fast ", "WRZL"}, {"--good ", "!HZL"}, {"--auto ", "WRZL"}};
    for (const auto &[option, tag] : cases) {
        SCOPED_TRACE(option);
        ASSERT_EQ(vrelPack(dir, "c " + option + "Vreltally.txt Vreltally.tld").status, 0);
        EXPECT_EQ(readFile(dir / "Vreltally.tld").substr(0, 4), tag);
        ASSERT_EQ(vrelPack(dir, "d Vreltally.tld back.txt").status, 0);
        EXPECT_TRUE(readFile(dir / "back.txt") == tally);
    }
}

TEST(VrelPack, FailsWithTheComponentsTextAndNoOutput)
{
    TempDir dir;
    writeFile(dir / "plain.txt", "not a container");
    PackRun run = vrelPack(dir, "d plain.txt out.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "plain.txt : Lzrw1 decompression : this file has no valid header !\n");
    EXPECT_FALSE(fs::exists(dir / "out.txt"));

    run = vrelPack(dir, "c missing.txt out.tld");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Lzrw1 compression : Failed to obtain the size of : missing.txt\n");
    EXPECT_FALSE(fs::exists(dir / "out.tld"));

    for (const std::string wrong : {"", "x a b", "c --best a b", "d a", "c a b c d"})
        EXPECT_EQ(vrelPack(dir, wrong).status, 2) << wrong;
}
