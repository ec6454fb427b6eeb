// Arbitrary bytes as the contents of an "@file": splitting must terminate,
// and writing the arguments back with full quoting must read back the same
// arguments.  Every tenth input also goes through the whole expansion from a
// real file, which must agree with the splitter.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "driver/argument_files.h"

namespace {

// Each argument in double quotes with a backslash before every character
// (a backslash escapes inside quotes too), separated by newlines.
std::string requote(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& argument : arguments) {
    text += '"';
    for (char c : argument) {
      text += '\\';
      text += c;
    }
    text += "\"\n";
  }
  return text;
}

void check_expansion(std::string_view data, const std::vector<std::string>& expected) {
  // Arguments that start with "@" name files in turn; only inputs that
  // cannot refer to other files are expanded.
  for (const std::string& argument : expected) {
    if (!argument.empty() && argument[0] == '@') return;
  }
  static const std::string path = "/tmp/argument-file-fuzzer-" + std::to_string(getpid());
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  std::fwrite(data.data(), 1, data.size(), out);
  std::fclose(out);
  std::string at = "@" + path;
  char program[] = "fuzz";
  std::vector<char*> argv = {program, at.data(), nullptr};
  int argc = 2;
  char** vector = argv.data();
  bool changed = vorn::expand_argument_files(&argc, &vector);
  unlink(path.c_str());
  if (!changed || argc != static_cast<int>(expected.size()) + 1) std::abort();
  // An argument vector holds C strings: a NUL byte ends the argument.
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::strcmp(expected[i].c_str(), vector[i + 1]) != 0) std::abort();
  }
  // The expanded vector is meant to live for the process; here it goes.
  for (int i = 1; i < argc; ++i) std::free(vector[i]);
  std::free(vector);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::string_view data(reinterpret_cast<const char*>(bytes), size);
  std::vector<std::string> arguments = vorn::split_argument_file_text(data);
  for (const std::string& argument : arguments) {
    // Only quotes, or a backslash with nothing after it, make an empty
    // argument.
    if (argument.empty() && data.find_first_of("'\"\\") == std::string_view::npos) std::abort();
  }
  if (vorn::split_argument_file_text(requote(arguments)) != arguments) std::abort();
  if (size % 10 == 0) check_expansion(data, arguments);
  return 0;
}
