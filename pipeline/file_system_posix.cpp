#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pipeline/file_system.h"

namespace vorzik {

namespace {

class PosixFileSystem final : public FileSystem {
 public:
  bool CreateFolder(const std::string& path) override { return ::mkdir(path.c_str(), 0777) == 0; }

  bool DeleteFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

  FileStamp Stamp(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
      return {};
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = st.st_size;
    stamp.modifiedNs = std::int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec;
    stamp.identity = st.st_ino;
    return stamp;
  }

  bool NameTooLong(const std::string& path) override {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t name = path.size() - (slash == std::string::npos ? 0 : slash + 1);
    return name > static_cast<std::size_t>(limit > 0 ? limit : NAME_MAX);
  }

  FileIdentity Identify(const std::string& path) override {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
      return {};
    return {true, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeNativeFileSystem() {
  return std::make_unique<PosixFileSystem>();
}

}  // namespace vorzik
