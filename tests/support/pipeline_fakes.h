#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "pipeline/command_line.h"
#include "pipeline/file_system.h"
#include "pipeline/stage_chain.h"
#include "pipeline/stage_runner.h"

namespace vorzik::testing {

/// An in-memory file system: files are names with a stamp that changes on
/// every write.
class FakeFileSystem : public FileSystem {
 public:
  bool CreateFolder(const std::string& path) override {
    createdFolders.push_back(path);
    return folders.insert(path).second;
  }
  bool DeleteFile(const std::string& path) override {
    deleted.push_back(path);
    return files.erase(path) > 0;
  }
  FileStamp Stamp(const std::string& path) override {
    auto it = files.find(path);
    if (it == files.end())
      return {};
    return {true, 1, it->second, 1};
  }
  // Two paths are one file only when they are one name.
  FileIdentity Identify(const std::string& path) override {
    if (!files.count(path) && !folders.count(path))
      return {};
    return {true, 1, std::hash<std::string>{}(path)};
  }
  std::optional<std::string> OwnNameOf(const std::string& path) override {
    auto it = ownNames.find(path);
    return it == ownNames.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  // Records "source>output" and renames nothing.
  bool NameAfterSource(const std::string& source, const std::string& output) override {
    namedAfterSource.push_back(source + ">" + output);
    return false;
  }
  void Write(const std::string& path) { files[path] = ++clock_; }
  bool Has(const std::string& path) const { return files.count(path) > 0; }

  std::map<std::string, long> files;
  std::set<std::string> folders;
  std::vector<std::string> deleted;
  std::vector<std::string> createdFolders;
  std::vector<std::string> namedAfterSource;
  // Short-form paths and the names they stand for.
  std::map<std::string, std::string> ownNames;

 private:
  long clock_ = 0;
};

/// The output a tool's command line names, by the tool's own conventions.
inline std::string OutputOf(const std::vector<std::string>& args) {
  if (args.empty())
    return {};
  auto after = [&](const std::string& word) {
    for (std::size_t i = 1; i + 1 < args.size(); ++i) {
      if (args[i] == word)
        return args[i + 1];
    }
    return std::string();
  };
  if (args[0] == "BeSweet.exe")
    return after("-output");
  if (args[0] == "normalize.exe")
    return after("-o");
  return args.back();
}

/// Records every command line; by default each run writes the output its
/// command names into the fake file system. duringRun runs while the "tool"
/// runs, as the window's events would.
class FakeStageRunner : public StageRunner {
 public:
  explicit FakeStageRunner(FakeFileSystem& fs) : fs_(fs) {}

  StageOutcome RunStage(const std::string& commandLine) override {
    commands.push_back(commandLine);
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (duringRun)
      duringRun(commands.size() - 1);
    std::string tool = args.empty() ? "" : args[0];
    if (unstartable.count(tool))
      return {false, -1, tool + ": program not found"};
    if (!silent.count(tool))
      fs_.Write(OutputOf(args));
    StageOutcome outcome{true, 0, {}};
    outcome.crashed = crashing.count(tool) > 0;
    if (commands.size() - 1 == stopAt)
      outcome.stopSignal = 15;
    return outcome;
  }

  std::vector<std::string> commands;
  std::set<std::string> unstartable;  // tools that cannot be started
  std::set<std::string> silent;       // tools that start but write nothing
  std::set<std::string> crashing;     // tools that write their output, then crash
  // The run during which a stop signal (15) comes.
  std::size_t stopAt = static_cast<std::size_t>(-1);
  std::function<void(std::size_t index)> duringRun;

 private:
  FakeFileSystem& fs_;
};

/// Stage switches a test can change at any moment, also while a tool runs.
class FakeSwitches : public StageSwitches {
 public:
  bool Filter() const override { return filter; }
  int FilterVariant() const override { return filterVariant; }
  bool Normalise() const override { return normalise; }
  bool Encode() const override { return encode; }
  bool DeleteIntermediate() const override { return deleteIntermediate; }

  bool filter = true;
  int filterVariant = 0;
  bool normalise = true;
  bool encode = true;
  bool deleteIntermediate = true;
};

}  // namespace vorzik::testing
