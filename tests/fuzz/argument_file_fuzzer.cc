// Arbitrary bytes as the contents of an "@file": splitting must terminate,
// and writing the arguments back with full quoting must read back the same
// arguments.  Every tenth input is also read from a real file under a low
// size bound: a file beyond the bound and a file holding a NUL byte must be
// refused, any other must read back unchanged and go through the whole
// expansion, which must agree with the splitter.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "driver/argument_files.h"
#include "support/whole_file.h"

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

constexpr std::size_t kFuzzFileLimit = 512;

// The verdict of the reader for DATA in the file PATH; true when the file
// is one that expansion uses.
bool read_back_as_the_rules_say(const std::string& path, std::string_view data) {
  vorn::set_whole_file_limit_for_testing(kFuzzFileLimit);
  std::string contents;
  vorn::ArgumentFileRead verdict = vorn::read_argument_file(path.c_str(), &contents);
  vorn::ArgumentFileRead expected = vorn::ArgumentFileRead::kRead;
  if (data.size() > kFuzzFileLimit) {
    expected = vorn::ArgumentFileRead::kTooLarge;
  } else if (data.find('\0') != std::string_view::npos) {
    expected = vorn::ArgumentFileRead::kNulByte;
  }
  if (verdict != expected) std::abort();
  if (verdict == vorn::ArgumentFileRead::kRead && contents != data) std::abort();
  return verdict == vorn::ArgumentFileRead::kRead;
}

bool names_other_files(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (!argument.empty() && argument[0] == '@') return true;
  }
  return false;
}

void check_expansion(std::string_view data, const std::vector<std::string>& expected) {
  static const std::string path = "/tmp/argument-file-fuzzer-" + std::to_string(getpid());
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  std::fwrite(data.data(), 1, data.size(), out);
  std::fclose(out);
  // Arguments that start with "@" name files in turn; only inputs that
  // cannot refer to other files are expanded.
  if (!read_back_as_the_rules_say(path, data) || names_other_files(expected)) {
    unlink(path.c_str());
    return;
  }
  std::string at = "@" + path;
  char program[] = "fuzz";
  std::vector<char*> argv = {program, at.data(), nullptr};
  int argc = 2;
  char** vector = argv.data();
  bool changed = vorn::expand_argument_files(&argc, &vector);
  unlink(path.c_str());
  if (!changed || argc != static_cast<int>(expected.size()) + 1) std::abort();
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (std::strcmp(expected[i].c_str(), vector[i + 1]) != 0) std::abort();
  }
  // The expanded vector is meant to live for the process; here it goes.
  // The words of the one file share a block that starts with the first.
  if (argc > 1) std::free(vector[1]);
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
