#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end.

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define MRV_TEST_PID _getpid()
#else
#include <unistd.h>
#define MRV_TEST_PID getpid()
#endif

class TestDir {
 public:
  explicit TestDir(const std::string& name) {
    static std::atomic<int> serial{0};
    std::error_code ec;
    root = std::filesystem::temp_directory_path(ec) /
           ("mrvcat-" + name + "-" + std::to_string(MRV_TEST_PID) + "-" + std::to_string(serial++));
    std::filesystem::remove_all(root, ec);
    std::filesystem::create_directories(root, ec);
  }
  ~TestDir() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  // The folder with a trailing separator, in the system's own spelling.
  std::string Folder() const { return (root / "").string(); }
  std::string Path(const std::string& name) const { return (root / name).string(); }

 private:
  std::filesystem::path root;
};
