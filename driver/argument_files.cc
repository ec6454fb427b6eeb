#include "driver/argument_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "diagnostics/intl.h"
#include "support/memory.h"
#include "support/process_exit.h"
#include "support/system_error.h"
#include "support/whole_file.h"

namespace vorn {
namespace {

// A run of "@" arguments longer than this is taken for a file that
// includes itself.
constexpr int kMaxArgumentFiles = 2000;

// How the splitter treats each byte: most only go to the word.
enum ByteKind : unsigned char { kPlainByte, kBlankByte, kQuotingByte };

constexpr std::array<unsigned char, 256> kByteKinds = [] {
  std::array<unsigned char, 256> kinds{};
  for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) kinds[c] = kBlankByte;
  for (unsigned char c : {'\\', '\'', '"'}) kinds[c] = kQuotingByte;
  return kinds;
}();

unsigned char byte_kind(char c) {
  return kByteKinds[static_cast<unsigned char>(c)];
}

// Writes the words of TEXT one after another into BLOCK, each ended by a
// NUL, and calls WORD with the start and length of each.  BLOCK has room
// for text.size() + 1 bytes: a word never takes more room than the text it
// came from, and its NUL takes the place of the blank that ended it (the
// last one may need the extra byte).
template <typename WordFn>
void split_into_block(std::string_view text, char* block, WordFn word) {
  const char* p = text.data();
  const char* const end = p + text.size();
  char* out = block;
  while (true) {
    while (p < end && byte_kind(*p) == kBlankByte) ++p;
    if (p == end) break;
    char* start = out;
    bool single_quoted = false;
    bool double_quoted = false;
    while (p < end) {
      // Plain bytes go over a run at a time.
      while (p < end && byte_kind(*p) == kPlainByte) *out++ = *p++;
      if (p == end) break;
      char c = *p++;
      if (byte_kind(c) == kBlankByte) {
        if (!single_quoted && !double_quoted) break;
        *out++ = c;
      } else if (c == '\\') {
        // A backslash at the very end escapes nothing and is dropped.
        if (p < end) *out++ = *p++;
      } else if (c == '\'' && !double_quoted) {
        single_quoted = !single_quoted;
      } else if (c == '"' && !single_quoted) {
        double_quoted = !double_quoted;
      } else {
        *out++ = c;
      }
    }
    *out++ = '\0';
    word(start, static_cast<std::size_t>(out - 1 - start));
  }
}

// The messages of this phase come before the diagnostics are set up, and
// go out as they stand.
[[noreturn]] void argument_file_failure(const char* argv0, const char* message) {
  std::fprintf(stderr, message, argv0);
  exit_process(1);
}

// ERROR is the errno of a kUnreadable verdict.
[[noreturn]] void unusable_argument_file(const char* argv0, const char* path,
                                         ArgumentFileRead verdict, int error) {
  if (verdict == ArgumentFileRead::kUnreadable) {
    std::fprintf(stderr, _("%s: error: cannot read @-file '%s': %s\n"), argv0, path,
                 system_error_text(error));
  } else if (verdict == ArgumentFileRead::kNulByte) {
    std::fprintf(stderr, _("%s: error: @-file '%s' contains a NUL byte\n"), argv0, path);
  } else {
    std::fprintf(stderr, _("%s: error: @-file '%s' is larger than %d MiB\n"), argv0, path,
                 static_cast<int>(kWholeFileLimit >> 20));
  }
  exit_process(1);
}

// A stat that failed with ERROR says that no file has the name: nothing is
// there, a leading part is no directory, or the name is too long to be one.
bool names_nothing(int error) {
  return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG;
}

}  // namespace

ArgumentFileRead read_argument_file(const char* path, std::string* contents) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ArgumentFileRead::kUnreadable;
  WholeFileStatus status = read_whole_descriptor(fd, contents);
  int read_errno = errno;
  close(fd);
  if (status == WholeFileStatus::kTooLarge) return ArgumentFileRead::kTooLarge;
  if (status != WholeFileStatus::kRead) {
    errno = read_errno;
    return ArgumentFileRead::kUnreadable;
  }
  if (contents->find('\0') != std::string::npos) return ArgumentFileRead::kNulByte;
  return ArgumentFileRead::kRead;
}

std::vector<std::string> split_argument_file_text(std::string_view text) {
  std::vector<std::string> arguments;
  std::string block(text.size() + 1, '\0');
  split_into_block(text, block.data(), [&](char* word, std::size_t length) {
    arguments.emplace_back(word, length);
  });
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
    // Only a name that names nothing is an argument like any other; a file
    // that is there but cannot be read would lose its arguments, and so
    // would one that a failing stat (a directory we may not search, an I/O
    // error) leaves us unable to tell from nothing.
    struct stat info;
    if (stat(path, &info) != 0) {
      if (!names_nothing(errno)) {
        unusable_argument_file(vector[0], path, ArgumentFileRead::kUnreadable, errno);
      }
      ++i;
      continue;
    }
    if (S_ISDIR(info.st_mode)) {
      argument_file_failure(vector[0], "%s: error: @-file refers to a directory\n");
    }
    std::string contents;
    ArgumentFileRead verdict = read_argument_file(path, &contents);
    if (verdict != ArgumentFileRead::kRead) unusable_argument_file(vector[0], path, verdict, errno);
    // The words of one file share one block that starts with the first of
    // them; like the new vector, it lives for the process.
    char* block = static_cast<char*>(xmalloc(contents.size() + 1));
    std::vector<char*> inserted;
    split_into_block(contents, block, [&](char* word, std::size_t) { inserted.push_back(word); });
    if (inserted.empty()) std::free(block);
    // The old vector belongs to the caller (or to an earlier round); the
    // new one is built fresh and lives for the process.
    int new_count = count - 1 + static_cast<int>(inserted.size());
    char** fresh = static_cast<char**>(xmalloc((new_count + 1) * sizeof(char*)));
    char** end = std::copy(vector, vector + i, fresh);
    end = std::copy(inserted.begin(), inserted.end(), end);
    std::copy(vector + i + 1, vector + count, end);
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
