// vorzik-convert: converts one file end to end through the outside tools, the
// way one entry of a batch is converted. For testing and scripting.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "pipeline/cli/convert_options.h"
#include "pipeline/cli/version_text.h"
#include "pipeline/file_job.h"
#include "pipeline/stage_chain.h"

namespace {

using namespace vorzik;

class Switches final : public StageSwitches {
 public:
  explicit Switches(const FixedSwitches& s) : s_(s) {}
  bool Filter() const override { return s_.filter; }
  int FilterVariant() const override { return s_.filterVariant; }
  bool Normalise() const override { return s_.normalise; }
  bool Encode() const override { return s_.encode; }
  bool DeleteIntermediate() const override { return s_.deleteIntermediate; }

 private:
  FixedSwitches s_;
};

// Shows each command line before it runs, so a failing step can be replayed.
class EchoingRunner final : public StageRunner {
 public:
  explicit EchoingRunner(StageRunner& inner) : inner_(inner) {}
  StageOutcome RunStage(const std::string& commandLine) override {
    std::cout << commandLine << std::endl;
    return inner_.RunStage(commandLine);
  }

 private:
  StageRunner& inner_;
};

std::string Absolute(const std::string& path) {
  if (!path.empty() && path.front() == '/')
    return path;
  std::vector<char> buffer(4096);
  if (!::getcwd(buffer.data(), buffer.size()))
    return path;
  return JoinPath(buffer.data(), path, kPosixPathStyle);
}

}  // namespace

int main(int argc, char** argv) {
  ConvertOptions options;
  std::string error = ParseConvertOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  if (!error.empty()) {
    std::cerr << "vorzik-convert: " << error << "\n"
              << "Try 'vorzik-convert --help' for more information.\n";
    return 2;
  }
  if (options.help) {
    std::cout << kConvertUsage;
    return 0;
  }
  if (options.version) {
    std::cout << VersionText("vorzik-convert");
    return 0;
  }

  const PathStyle& style = NativePathStyle();
  std::string source = Absolute(options.source);
  // A FIFO would block the decoder for ever, a device or folder is no
  // recording; the window never lists them either.
  struct stat st {};
  const bool found = ::stat(source.c_str(), &st) == 0;
  if (!found || !S_ISREG(st.st_mode)) {
    std::cerr << "vorzik-convert: " << source
              << (found ? ": not a regular file\n" : ": cannot be read\n");
    return 1;
  }
  std::string folder = source.substr(0, source.rfind(style.separator) + 1);
  // The tools run in the source's folder, as they do in a batch.
  if (::chdir(folder.c_str()) != 0) {
    std::cerr << "vorzik-convert: cannot enter " << folder << "\n";
    return 1;
  }

  std::string boostSwitch;
  OptionFragments fragments = BuildOptionFragments(options.settings, boostSwitch);
  auto files = MakeNativeFileSystem();
  files->CreateFolder(folder + std::string(kWorkFolderName));
  auto runner = MakeNativeStageRunner(nullptr);
  EchoingRunner echoing(*runner);
  Switches switches(options.switches);
  FileResult result = ProcessFile(source, folder, fragments, {switches, echoing, *files, style});
  if (result.stopSignal != 0) {
    std::cerr << "vorzik-convert: " << source << ": stopped\n";
    EndAfterStop(result.stopSignal);
  }
  if (!result.ok) {
    std::cerr << "vorzik-convert: " << source << ": ";
    if (result.failedStage != Stage::None) {
      std::cerr << StageName(result.failedStage) << " stage (" << result.failedTool << ") failed: ";
    }
    std::cerr << result.reason << "\n";
    return 1;
  }
  return 0;
}
