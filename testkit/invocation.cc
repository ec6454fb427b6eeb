#include "testkit/invocation.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vorn::testkit {

namespace {

bool read_all(int fd, std::string& contents) {
  char buffer[8192];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.append(buffer, static_cast<std::size_t>(n));
  }
}

bool write_all(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

const std::string& read_standard_input(Invocation& inv) {
  static std::string contents;
  if (inv.stdin_bytes < 0) {
    if (!read_all(STDIN_FILENO, contents)) complain(inv, "cannot read standard input");
    inv.stdin_bytes = static_cast<long>(contents.size());
  }
  return contents;
}

bool read_file(const std::string& path, std::string& contents) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  contents.clear();
  bool ok = read_all(fd, contents);
  close(fd);
  return ok;
}

bool write_output(const Invocation& inv, const std::string& path, const std::string& text,
                  bool executable) {
  if (path == "-") {
    std::fflush(stdout);
    if (write_all(STDOUT_FILENO, text)) return true;
    complain(inv, std::string("cannot write standard output: ") + std::strerror(errno));
    return false;
  }
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, executable ? 0755 : 0644);
  bool ok = fd >= 0 && write_all(fd, text);
  int saved = errno;
  if (fd >= 0 && close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (!ok) complain(inv, "cannot write " + path + ": " + std::strerror(saved));
  return ok;
}

void complain(const Invocation& inv, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", inv.tool.c_str(), message.c_str());
}

}  // namespace vorn::testkit
