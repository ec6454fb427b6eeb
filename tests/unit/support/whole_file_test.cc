#include "support/whole_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

namespace vorn {
namespace {

void on_alarm(int) {}

TEST(WholeFileTest, EmptyFileAndUnreadableDescriptor) {
  std::filesystem::path path = std::filesystem::path(VORN_TEST_TMPDIR) / "whole_file_empty";
  std::ofstream(path).close();
  int fd = open(path.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  std::string contents = "stale";
  EXPECT_EQ(read_whole_descriptor(fd, &contents), WholeFileStatus::kRead);
  EXPECT_EQ(contents, "");
  close(fd);

  // A descriptor that is not open: the failure, with errno saying why.
  contents = "stale";
  errno = 0;
  EXPECT_EQ(read_whole_descriptor(fd, &contents), WholeFileStatus::kReadError);
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(contents, "");
}

// A signal that interrupts the wait for a slow writer is no read error: the
// words that come afterwards are still read.
TEST(WholeFileTest, InterruptedReadIsResumed) {
  struct sigaction action {};
  action.sa_handler = on_alarm;  // no SA_RESTART: the read fails with EINTR
  struct sigaction saved;
  ASSERT_EQ(sigaction(SIGALRM, &action, &saved), 0);
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    close(ends[0]);
    usleep(300000);
    ssize_t written = write(ends[1], "-O2 -g\n", 7);
    _exit(written == 7 ? 0 : 1);
  }
  close(ends[1]);
  itimerval timer{};
  timer.it_value.tv_usec = 50000;
  ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);
  std::string contents;
  EXPECT_EQ(read_whole_descriptor(ends[0], &contents), WholeFileStatus::kRead);
  EXPECT_EQ(contents, "-O2 -g\n");
  close(ends[0]);
  int status = 0;
  EXPECT_EQ(waitpid(writer, &status, 0), writer);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  sigaction(SIGALRM, &saved, nullptr);
}

}  // namespace
}  // namespace vorn
