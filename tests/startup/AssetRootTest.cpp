#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/AssetRoot.h"
#include "support/ProgramRun.h"

namespace fs = std::filesystem;

namespace {

// Three empty folders under a fresh temporary one; the test starts in the first and the working
// directory is put back afterwards.
class AssetRootFolders : public testing::Test {
protected:
    void SetUp() override {
        start = fs::current_path();
        base = fs::path(testing::TempDir()) / ("velmora_root_" + std::to_string(getpid()));
        for (const char* name : {"start", "beside", "source"}) fs::create_directories(base / name);
        fs::current_path(base / "start");
    }
    // An assets/ folder of the demo's: it holds the first program the load phase builds.
    void makeAssets(const char* place) {
        fs::create_directories(base / place / "assets");
        std::ofstream(base / place / "assets" / "ground.shader") << "";
    }
    void TearDown() override {
        fs::current_path(start);
        fs::remove_all(base);
    }
    fs::path start, base;
};

TEST_F(AssetRootFolders, StaysWhereAssetsAreElseMovesToTheFirstCandidateThatHasThem) {
    makeAssets("source");
    EXPECT_TRUE(enterAssetRoot({base / "beside", base / "source"}));
    EXPECT_EQ(fs::current_path(), base / "source");

    makeAssets("beside");
    fs::current_path(base / "start");
    EXPECT_TRUE(enterAssetRoot({base / "beside", base / "source"}));
    EXPECT_EQ(fs::current_path(), base / "beside");

    makeAssets("start");
    fs::current_path(base / "start");
    EXPECT_TRUE(enterAssetRoot({base / "beside", base / "source"}));
    EXPECT_EQ(fs::current_path(), base / "start");
}

// Someone else's assets/ folder (none of the demo's files in it) used to be taken as the root:
// 37 failed loads and a nearly blank frame.
TEST_F(AssetRootFolders, AnAssetsFolderWithoutTheDemosFilesIsPassedOver) {
    fs::create_directories(base / "start" / "assets" / "mesh");
    std::ofstream(base / "start" / "assets" / "logo.png") << "not ours";
    makeAssets("source");
    EXPECT_TRUE(enterAssetRoot({base / "beside", base / "source"}));
    EXPECT_EQ(fs::current_path(), base / "source");
}

TEST_F(AssetRootFolders, NoAssetsAnywhereIsOneLineNamingEveryPlace) {
    std::ofstream(base / "beside" / "assets") << "a file, not a folder";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(enterAssetRoot({base / "beside", base / "source"}));
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_EQ(fs::current_path(), base / "start");
    EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line: " << said;
    for (const char* place : {"start", "beside", "source"})
        EXPECT_NE(said.find((base / place).string()), std::string::npos) << said;
}

// The usual first attempt: starting the program from its own build folder.
TEST(AssetRootRunner, HeadlessRunnerStartedFromItsOwnFolderFindsTheAssets) {
    const ProgramRun run = runProgram(VELMORA_HEADLESS, "--size 32x18 --times 12b",
                                      fs::path(VELMORA_HEADLESS).parent_path().string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("Unable to load texture"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Can't open"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("velmora-headless: 1 frames rendered"), std::string::npos)
        << run.output;
}

}  // namespace
