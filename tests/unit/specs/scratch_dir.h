// A private directory for tests that need real files: created empty under
// the test build tree, removed with everything in it at the end.
#ifndef VORN_TESTS_UNIT_SPECS_SCRATCH_DIR_H
#define VORN_TESTS_UNIT_SPECS_SCRATCH_DIR_H

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace vorn::testing {

class ScratchDir {
 public:
  ScratchDir() {
    std::filesystem::create_directories(VORN_TEST_TMPDIR);
    std::string pattern = std::string(VORN_TEST_TMPDIR) + "/specs-XXXXXX";
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The directory, without a trailing "/".
  const std::string& path() const { return path_; }
  // RELATIVE below the directory.
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes TEXT to RELATIVE, creating its directories; returns the path.
  std::string write(const std::string& relative, const std::string& text, int mode = 0644) const {
    std::string file = *this / relative;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
      std::fwrite(text.data(), 1, text.size(), out);
      std::fclose(out);
    }
    chmod(file.c_str(), mode);
    return file;
  }

  // Creates the directory RELATIVE; returns its path with a trailing "/".
  std::string mkdir(const std::string& relative) const {
    std::filesystem::create_directories(*this / relative);
    return *this / relative + "/";
  }

 private:
  std::string path_;
};

}  // namespace vorn::testing

#endif  // VORN_TESTS_UNIT_SPECS_SCRATCH_DIR_H
