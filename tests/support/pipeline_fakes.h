#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "pipeline/command_line.h"
#include "pipeline/stage_chain.h"
#include "pipeline/stage_files.h"
#include "pipeline/stage_runner.h"

namespace vorzik::testing {

/// An in-memory file system: files are names with a stamp that changes on
/// every write. A link makes a path, and every path below it, lead to another
/// entry, as a link to a folder or a hard link to a file does on disk: what is
/// written or stamped through it is the entry's, and it has the entry's
/// identity. A trailing "\." or "/." names the folder before it.
class FakeStageFiles : public StageFiles {
 public:
  bool CreateFolder(const std::string& path) override {
    createdFolders.push_back(path);
    return folders.insert(Resolve(path)).second;
  }
  // Deleting a link removes the link, not what it leads to.
  bool DeleteFile(const std::string& path) override {
    deleted.push_back(path);
    return links.erase(path) > 0 || files.erase(Resolve(path)) > 0;
  }
  FileStamp Stamp(const std::string& path) override {
    auto it = files.find(Resolve(path));
    if (it == files.end())
      return {};
    return {true, 1, it->second, 1};
  }
  // Two paths are one file only when they lead to one name.
  FileIdentity Identify(const std::string& path) override {
    const std::string entry = Resolve(path);
    if (!files.count(entry) && !folders.count(entry))
      return {};
    return {true, 1, std::hash<std::string>{}(entry)};
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
  void Write(const std::string& path) { files[Resolve(path)] = ++clock_; }
  bool Has(const std::string& path) const { return files.count(Resolve(path)) > 0; }
  // From now on path, and every path below it, leads to target.
  void Link(const std::string& path, const std::string& target) { links[path] = target; }

  // The entry a path leads to once every link on the way is followed.
  std::string Resolve(std::string path) const {
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 2 && path.back() == '.' && separator(path[path.size() - 2]))
      path.resize(path.size() - 2);
    // The first link on the way is followed first: in a sorted map a path
    // comes before the paths below it. A loop of links ends somewhere.
    for (int hops = 0; hops < 40; ++hops) {
      auto through = std::find_if(links.begin(), links.end(), [&](const auto& link) {
        const std::string& from = link.first;
        return path.rfind(from, 0) == 0 &&
               (path.size() == from.size() || separator(path[from.size()]));
      });
      if (through == links.end())
        break;
      path = through->second + path.substr(through->first.size());
    }
    return path;
  }

  std::map<std::string, long> files;
  std::set<std::string> folders;
  std::map<std::string, std::string> links;  // path -> the entry it leads to
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
  explicit FakeStageRunner(FakeStageFiles& fs) : fs_(fs) {}

  StageOutcome RunStage(const std::string& commandLine) override {
    commands.push_back(commandLine);
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (duringRun)
      duringRun(commands.size() - 1);
    std::string tool = args.empty() ? "" : args[0];
    if (unstartable.count(tool))
      return {StageEnd::NotStarted, -1, tool + ": program not found"};
    if (!silent.count(tool))
      fs_.Write(OutputOf(args));
    if (commands.size() - 1 == stopAt)
      return {StageEnd::Stopped, 15};
    if (crashing.count(tool))
      return {StageEnd::Crashed, 0};
    return {StageEnd::Exited, 0};
  }

  std::vector<std::string> commands;
  std::set<std::string> unstartable;  // tools that cannot be started
  std::set<std::string> silent;       // tools that start but write nothing
  std::set<std::string> crashing;     // tools that write their output, then crash
  // The run during which a stop signal (15) comes.
  std::size_t stopAt = static_cast<std::size_t>(-1);
  std::function<void(std::size_t index)> duringRun;

 private:
  FakeStageFiles& fs_;
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
