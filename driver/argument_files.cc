#include "driver/argument_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "diagnostics/intl.h"
#include "support/memory.h"
#include "support/whole_file.h"

namespace vorn {
namespace {

// A run of "@" arguments longer than this is taken for a file that
// includes itself.
constexpr int kMaxArgumentFiles = 2000;

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The messages of this phase come before the diagnostics are set up, and
// go out as they stand.
[[noreturn]] void argument_file_failure(const char* argv0, const char* message) {
  std::fprintf(stderr, message, argv0);
  std::exit(1);
}

[[noreturn]] void unusable_argument_file(const char* argv0, const char* path,
                                         ArgumentFileRead verdict) {
  if (verdict == ArgumentFileRead::kNulByte) {
    std::fprintf(stderr, _("%s: error: @-file '%s' contains a NUL byte\n"), argv0, path);
  } else {
    std::fprintf(stderr, _("%s: error: @-file '%s' is larger than %d MiB\n"), argv0, path,
                 static_cast<int>(kWholeFileLimit >> 20));
  }
  std::exit(1);
}

}  // namespace

ArgumentFileRead read_argument_file(const char* path, std::string* contents) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ArgumentFileRead::kLiteral;
  WholeFileStatus status = read_whole_descriptor(fd, contents);
  close(fd);
  if (status == WholeFileStatus::kTooLarge) return ArgumentFileRead::kTooLarge;
  if (status != WholeFileStatus::kRead) return ArgumentFileRead::kLiteral;
  if (contents->find('\0') != std::string::npos) return ArgumentFileRead::kNulByte;
  return ArgumentFileRead::kRead;
}

std::vector<std::string> split_argument_file_text(std::string_view text) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (true) {
    while (i < n && is_blank(text[i])) ++i;
    if (i >= n) break;
    std::string word;
    bool single_quoted = false;
    bool double_quoted = false;
    for (; i < n; ++i) {
      char c = text[i];
      if (is_blank(c) && !single_quoted && !double_quoted) break;
      if (c == '\\') {
        // A backslash at the very end escapes nothing and is dropped.
        if (++i < n) word.push_back(text[i]);
      } else if (c == '\'' && !double_quoted) {
        single_quoted = !single_quoted;
      } else if (c == '"' && !single_quoted) {
        double_quoted = !double_quoted;
      } else {
        word.push_back(c);
      }
    }
    arguments.push_back(std::move(word));
  }
  return arguments;
}

bool expand_argument_files(int* argc, char*** argv) {
  int count = *argc;
  char** vector = *argv;
  bool copied = false;
  int files_seen = 0;
  for (int i = 1; i < count;) {
    const char* argument = vector[i];
    if (argument[0] != '@') {
      ++i;
      continue;
    }
    if (++files_seen == kMaxArgumentFiles) {
      argument_file_failure(vector[0], "%s: error: too many @-files encountered\n");
    }
    const char* path = argument + 1;
    struct stat info;
    if (stat(path, &info) != 0) {
      ++i;
      continue;
    }
    if (S_ISDIR(info.st_mode)) {
      argument_file_failure(vector[0], "%s: error: @-file refers to a directory\n");
    }
    std::string contents;
    ArgumentFileRead verdict = read_argument_file(path, &contents);
    if (verdict == ArgumentFileRead::kLiteral) {
      ++i;
      continue;
    }
    if (verdict != ArgumentFileRead::kRead) unusable_argument_file(vector[0], path, verdict);
    std::vector<std::string> inserted = split_argument_file_text(contents);
    // The old vector belongs to the caller (or to an earlier round); the
    // new one is built fresh and lives for the process.
    int new_count = count - 1 + static_cast<int>(inserted.size());
    char** fresh = static_cast<char**>(xmalloc((new_count + 1) * sizeof(char*)));
    for (int k = 0; k < i; ++k) fresh[k] = vector[k];
    for (std::size_t k = 0; k < inserted.size(); ++k) {
      fresh[i + static_cast<int>(k)] = xstrdup(inserted[k].c_str());
    }
    for (int k = i + 1; k < count; ++k)
      fresh[k - 1 + static_cast<int>(inserted.size())] = vector[k];
    fresh[new_count] = nullptr;
    if (copied) std::free(vector);
    vector = fresh;
    count = new_count;
    copied = true;
    // The walk goes on at the first inserted argument, so that "@"
    // arguments read from the file are expanded too.
  }
  if (!copied) return false;
  *argc = count;
  *argv = vector;
  return true;
}

}  // namespace vorn
