// Helpers shared by the diagnostics tests.
#ifndef VORN_TESTS_UNIT_DIAGNOSTICS_TEST_SUPPORT_H
#define VORN_TESTS_UNIT_DIAGNOSTICS_TEST_SUPPORT_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdlib>
#include <optional>
#include <string>

#include "diagnostics/pretty_printer.h"

namespace vorn::testing {

// Formats with a fresh printer (no prefix, no wrapping) and returns the text.
inline std::string format_message(const char* format, ...) {
  PrettyPrinter printer;
  va_list args;
  va_start(args, format);
  printer.vprint(format, &args);
  va_end(args);
  return printer.text();
}

// Sets or unsets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Points standard error at a pseudo-terminal (terminal true) or at
// /dev/null for the lifetime of the object, for the decisions of the auto
// mode.
class ScopedStderr {
 public:
  explicit ScopedStderr(bool terminal) {
    int target = -1;
    if (terminal) {
      master_ = posix_openpt(O_RDWR | O_NOCTTY);
      if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
      target = open(ptsname(master_), O_RDWR | O_NOCTTY);
    } else {
      target = open("/dev/null", O_WRONLY);
    }
    if (target < 0) return;
    saved_ = dup(STDERR_FILENO);
    dup2(target, STDERR_FILENO);
    close(target);
  }
  ~ScopedStderr() {
    if (saved_ >= 0) {
      dup2(saved_, STDERR_FILENO);
      close(saved_);
    }
    if (master_ >= 0) close(master_);
  }
  bool ok() const { return saved_ >= 0; }
  ScopedStderr(const ScopedStderr&) = delete;
  ScopedStderr& operator=(const ScopedStderr&) = delete;

 private:
  int master_ = -1;
  int saved_ = -1;
};

}  // namespace vorn::testing

#endif  // VORN_TESTS_UNIT_DIAGNOSTICS_TEST_SUPPORT_H
