#include "options/jobserver.h"

#include <fcntl.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

namespace vorn {
namespace {

constexpr std::string_view kAuthWord = "--jobserver-auth=";
constexpr std::string_view kFifoPrefix = "fifo:";

bool is_open_descriptor(int fd) {
  return fcntl(fd, F_GETFD) != -1;
}

// A decimal descriptor number at the start of TEXT, as "%d" reads one, but
// only when it fits an int: 4294967297 must not wrap to 1.  Advances TEXT.
bool read_descriptor_number(const char** text, int* fd) {
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(*text, &end, 10);
  if (end == *text || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
  *fd = static_cast<int>(value);
  *text = end;
  return true;
}

// "R,W" at the start of TEXT.
bool read_descriptor_pair(const char* text, int* read, int* write) {
  if (!read_descriptor_number(&text, read) || *text != ',') return false;
  ++text;
  return read_descriptor_number(&text, write);
}

}  // namespace

JobserverInfo::JobserverInfo() : JobserverInfo(std::getenv("MAKEFLAGS")) {}

JobserverInfo::JobserverInfo(const char* makeflags) {
  if (makeflags == nullptr) return;
  std::string_view flags = makeflags;
  // Make appends its own word last, so the last one is the one in force.
  std::size_t word = flags.rfind(kAuthWord);
  if (word == std::string_view::npos) return;
  std::string_view rest = flags.substr(word + kAuthWord.size());
  if (rest.starts_with(kFifoPrefix)) {
    rest.remove_prefix(kFifoPrefix.size());
    pipe_path = std::string(rest.substr(0, rest.find(' ')));
    active = true;
    return;
  }
  int read = -1;
  int write = -1;
  std::string descriptors(rest);
  if (read_descriptor_pair(descriptors.c_str(), &read, &write) && read > 0 && write > 0 &&
      is_open_descriptor(read) && is_open_descriptor(write)) {
    read_fd = read;
    write_fd = write;
    active = true;
    return;
  }
  // Drop exactly the job-server word, keeping the space that followed it.
  replacement_makeflags = "MAKEFLAGS=";
  replacement_makeflags += flags.substr(0, word);
  std::size_t space = flags.find(' ', word);
  if (space != std::string_view::npos) replacement_makeflags += flags.substr(space);
}

}  // namespace vorn
