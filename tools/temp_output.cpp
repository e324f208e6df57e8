#include "tools/temp_output.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

#include "tools/tool_error.h"

namespace vorzik::tools {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The one named temporary file of this process, for the signal handler. The
// name is complete whenever namedActive is set.
char namedFile[PATH_MAX];
std::atomic<bool> namedActive{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void RemoveAndEnd(int signal) {
  if (namedActive.load())
    ::unlink(namedFile);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void InstallStopHandlers() {
  static bool installed = false;
  if (installed)
    return;
  installed = true;
  for (int signal : kStopSignals) {
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    sigfillset(&action.sa_mask);
    // An ignored signal (nohup) stays ignored.
    struct sigaction old {};
    if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
      ::sigaction(signal, &action, nullptr);
  }
}

void Announce(const std::string& path) {
  namedActive.store(false);
  if (path.size() < sizeof namedFile) {
    std::memcpy(namedFile, path.c_str(), path.size() + 1);
    namedActive.store(true);
  }
}

void Withdraw() {
  namedActive.store(false);
}

// ".vz-" and six random letters or digits: short and always the same length.
std::string ShortName(const std::string& folder) {
  static std::mt19937 random{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".vz-";
  for (int i = 0; i < 6; ++i)
    name += kLetters[random() % (sizeof kLetters - 1)];
  return folder + "/" + name;
}

[[noreturn]] void Fail(const std::string& finalPath, int error) {
  throw RuntimeError("cannot write " + finalPath + ": " + std::strerror(error));
}

}  // namespace

TempOutput::TempOutput(const std::string& finalPath, Kind kind) : finalPath_(finalPath) {
  folder_ = std::filesystem::path(finalPath).parent_path().string();
  if (folder_.empty())
    folder_ = ".";
  InstallStopHandlers();
  if (kind == Kind::UnnamedWherePossible) {
    // The mode is what a plain create gives: 0666 less the umask.
    unnamed_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (unnamed_ >= 0) {
      writePath_ = "/proc/self/fd/" + std::to_string(unnamed_);
      if (::access(writePath_.c_str(), W_OK) == 0)
        return;
      ::close(unnamed_);
      unnamed_ = -1;
    }
  }
  CreateNamed();
}

TempOutput::~TempOutput() {
  if (!namedPath_.empty()) {
    Withdraw();
    ::unlink(namedPath_.c_str());
  }
  if (unnamed_ >= 0)
    ::close(unnamed_);
}

// Tries short names until create makes one that did not exist; each is
// announced before it exists, so a signal never leaves it behind.
std::string TempOutput::NewShortName(const std::function<bool(const std::string&)>& create) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = ShortName(folder_);
    Announce(candidate);
    if (create(candidate))
      return candidate;
    int error = errno;
    Withdraw();
    if (error != EEXIST)
      Fail(finalPath_, error);
  }
  Fail(finalPath_, EEXIST);
}

void TempOutput::CreateNamed() {
  namedPath_ = NewShortName([](const std::string& name) {
    int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
    return fd >= 0 && ::close(fd) == 0;
  });
  writePath_ = namedPath_;
}

// A file without a name cannot replace another: it gets a short name first,
// which the rename then moves into place.
void TempOutput::LinkUnnamed() {
  namedPath_ = NewShortName([&](const std::string& name) {
    return ::linkat(AT_FDCWD, writePath_.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  });
}

void TempOutput::Commit() {
  if (unnamed_ >= 0)
    LinkUnnamed();
  if (::rename(namedPath_.c_str(), finalPath_.c_str()) != 0)
    Fail(finalPath_, errno);
  Withdraw();
  namedPath_.clear();
}

}  // namespace vorzik::tools
