// vorzik-convert end to end with the recording tools: the exact command
// sequence, the arguments the tools received and the files that remain.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "pipeline/cli/convert_options.h"
#include "tests/support/temp_dir.h"

namespace vorzik {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
using Lines = std::vector<std::string>;

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

Lines FilesIn(const fs::path& folder) {
  Lines names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A folder with vorzik-convert beside the four recording tools, so the
// program search finds those, and a source folder with a.mp2 and b.wav.
class ConvertCli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir_ / "bin");
    fs::copy_file(VORZIK_CONVERT_PATH, dir_ / "bin/vorzik-convert");
    for (std::string tool : {"BeSweet.exe", "ql7rzfir.exe", "ql7rziir.exe", "normalize.exe"}) {
      fs::copy_file(std::string(VORZIK_RECORDING_TOOLS_DIR) + "/" + tool, dir_ / ("bin/" + tool));
    }
    fs::create_directory(src_);
    WriteFile(src_ + "/a.mp2", "mp2 data");
    WriteFile(src_ + "/b.wav", "wav data");
  }

  // Runs vorzik-convert; returns its exit code and keeps what it printed.
  int Convert(const std::string& args) {
    std::string command = "VORZIK_TOOL_LOG='" + log_ + "' '" + (dir_ / "bin/vorzik-convert") +
                          "' " + args + " > '" + (dir_ / "out.txt") + "' 2> '" +
                          (dir_ / "err.txt") + "'";
    int status = std::system(command.c_str());
    printed_ = SplitLines(ReadFile(dir_ / "out.txt"));
    return WEXITSTATUS(status);
  }

  TempDir dir_;
  std::string src_ = dir_ / "rec";
  std::string work_ = src_ + "/EtcEnc/";
  std::string log_ = dir_ / "tools.log";
  Lines printed_;
};

TEST_F(ConvertCli, DefaultsConvertAnMp2AndAWav) {
  ASSERT_EQ(Convert("'" + src_ + "/a.mp2'"), 0) << ReadFile(dir_ / "err.txt");
  ASSERT_EQ(Convert("'" + src_ + "/b.wav'"), 0) << ReadFile(dir_ / "err.txt");
  EXPECT_EQ(printed_, (Lines{
                          "ql7rzfir.exe -y -q 200 " + src_ + "/b.wav " + work_ + "b_TMP2.wav",
                          "normalize.exe -m 90 -o " + work_ + "b_TMP3.wav " + work_ + "b_TMP2.wav",
                          "BeSweet.exe -core( -input \"" + work_ + "b_TMP3.wav\" -output \"" +
                              work_ + "b.mp2\" ) -mp2enc(  -b 224 -m s )",
                      }));
  EXPECT_EQ(SplitLines(ReadFile(log_)),
            (Lines{
                "BeSweet.exe\t-core(\t-input\t" + src_ + "/a.mp2\t-output\t" + work_ +
                    "a_TMP1.wav\t-2ch\t)",
                "ql7rzfir.exe\t-y\t-q\t200\t" + work_ + "a_TMP1.wav\t" + work_ + "a_TMP2.wav",
                "normalize.exe\t-m\t90\t-o\t" + work_ + "a_TMP3.wav\t" + work_ + "a_TMP2.wav",
                "BeSweet.exe\t-core(\t-input\t" + work_ + "a_TMP3.wav\t-output\t" + work_ +
                    "a.mp2\t)\t-mp2enc(\t-b\t224\t-m\ts\t)",
                "ql7rzfir.exe\t-y\t-q\t200\t" + src_ + "/b.wav\t" + work_ + "b_TMP2.wav",
                "normalize.exe\t-m\t90\t-o\t" + work_ + "b_TMP3.wav\t" + work_ + "b_TMP2.wav",
                "BeSweet.exe\t-core(\t-input\t" + work_ + "b_TMP3.wav\t-output\t" + work_ +
                    "b.mp2\t)\t-mp2enc(\t-b\t224\t-m\ts\t)",
            }));
  EXPECT_EQ(FilesIn(work_), (Lines{"a.mp2", "b.mp2"}));
  EXPECT_EQ(ReadFile(work_ + "a.mp2"), "BeSweet.exe from a_TMP3.wav\n");
  EXPECT_EQ(ReadFile(src_ + "/a.mp2"), "mp2 data");
  EXPECT_EQ(FilesIn(src_), (Lines{"EtcEnc", "a.mp2", "b.wav"}));
}

TEST_F(ConvertCli, KeepTmpLeavesEveryStageFile) {
  ASSERT_EQ(Convert("--keep-tmp --iir --effect=80 --mode=ac3 --boost=Brex '" + src_ + "/a.mp2'"),
            0);
  EXPECT_EQ(FilesIn(work_), (Lines{"a.ac3", "a_TMP1.wav", "a_TMP2.wav", "a_TMP3.wav"}));
  EXPECT_EQ(printed_.at(1),
            "ql7rziir.exe -y -e 80 " + work_ + "a_TMP1.wav " + work_ + "a_TMP2.wav");
  EXPECT_EQ(printed_.at(3), "BeSweet.exe -core( -input \"" + work_ + "a_TMP3.wav\" -output \"" +
                                work_ + "a.ac3\" ) -boost( /b=3db ) -ac3enc( -b 224 -m s )");
}

TEST_F(ConvertCli, MissingToolIsAFailure) {
  fs::remove(dir_ / "bin/normalize.exe");
  std::string savedPath = std::getenv("PATH");
  ::setenv("PATH", "/nonexistent", 1);
  int code = Convert("'" + src_ + "/a.mp2'");
  ::setenv("PATH", savedPath.c_str(), 1);
  EXPECT_EQ(code, 1);
  EXPECT_NE(ReadFile(dir_ / "err.txt").find("normalise stage (normalize.exe) failed"),
            std::string::npos);
  EXPECT_EQ(printed_.size(), 4u) << "the encode stage still runs";
}

TEST(ConvertOptions, EveryFieldAndSwitchCanBeSet) {
  ConvertOptions o;
  std::string error = ParseConvertOptions(
      {"--no-quality", "--effect=1", "--gain=2", "--fade-in=3", "--fade-out=4", "--ratio=5",
       "--ogg-quality=6.00", "--bitrate=320", "--boost=Snal", "--boost-level=7", "--noise-gate=65",
       "--error-protection", "--iir", "--mode=ogg", "--no-filter", "--no-normalize", "--no-encode",
       "--keep-tmp", "x.wav"},
      o);
  ASSERT_EQ(error, "");
  const ConversionSettings& s = o.settings;
  EXPECT_FALSE(s.useQuality);
  EXPECT_TRUE(s.useEffect && s.useGain && s.useFadeIn && s.useFadeOut && s.useBoost &&
              s.useNoiseGate && s.errorProtection);
  EXPECT_EQ(s.effect + s.gain + s.fadeIn + s.fadeOut + s.normaliseRatio, "12345");
  EXPECT_EQ(s.oggQuality, "6.00");
  EXPECT_EQ(s.bitRate, "320");
  EXPECT_EQ(s.boostPreset, "Snal");
  EXPECT_EQ(s.boostLevel, "7");
  EXPECT_EQ(s.noiseGateLevel, "65");
  EXPECT_EQ(s.filterVariant, 1);
  EXPECT_EQ(s.encodeMode, 2);
  EXPECT_FALSE(o.switches.filter || o.switches.normalise || o.switches.encode ||
               o.switches.deleteIntermediate);
  EXPECT_EQ(o.switches.filterVariant, 1);
  EXPECT_EQ(o.source, "x.wav");
}

TEST(ConvertOptions, BadArgumentsAreRejected) {
  for (const Lines& args :
       {Lines{}, Lines{"--bogus", "a.wav"}, Lines{"--mode=flac", "a.wav"},
        Lines{"--ratio", "a.wav"}, Lines{"a.wav", "b.wav"}, Lines{"--keep-tmp=1"}}) {
    ConvertOptions o;
    EXPECT_NE(ParseConvertOptions(args, o), "");
  }
}

}  // namespace
}  // namespace vorzik
