// Job-server detection from MAKEFLAGS.
#include "options/jobserver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace vorn {
namespace {

// A pipe whose two ends are open descriptors of this process.
class OpenPipe {
 public:
  OpenPipe() { EXPECT_EQ(pipe(fds_), 0); }
  ~OpenPipe() {
    close(fds_[0]);
    close(fds_[1]);
  }
  std::string auth() const {
    return "--jobserver-auth=" + std::to_string(fds_[0]) + "," + std::to_string(fds_[1]);
  }
  int read_end() const { return fds_[0]; }
  int write_end() const { return fds_[1]; }

 private:
  int fds_[2];
};

// A descriptor number that is certainly closed.
int closed_descriptor() {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  close(fds[0]);
  close(fds[1]);
  return fds[1];
}

TEST(Jobserver, NothingToFind) {
  JobserverInfo unset(nullptr);
  EXPECT_FALSE(unset.active);
  EXPECT_EQ(unset.replacement_makeflags, "");
  JobserverInfo plain("-j4 -k");
  EXPECT_FALSE(plain.active);
  EXPECT_EQ(plain.replacement_makeflags, "");
}

TEST(Jobserver, OpenDescriptorsAreUsable) {
  OpenPipe jobs;
  std::string flags = "-j4 " + jobs.auth();
  JobserverInfo info(flags.c_str());
  EXPECT_TRUE(info.active);
  EXPECT_EQ(info.read_fd, jobs.read_end());
  EXPECT_EQ(info.write_fd, jobs.write_end());
  EXPECT_EQ(info.replacement_makeflags, "");
}

TEST(Jobserver, ClosedDescriptorDropsTheWord) {
  OpenPipe jobs;
  std::string closed = std::to_string(closed_descriptor());
  std::string last = "-j4 --jobserver-auth=" + std::to_string(jobs.read_end()) + "," + closed;
  JobserverInfo at_end(last.c_str());
  EXPECT_FALSE(at_end.active);
  EXPECT_EQ(at_end.read_fd, -1);
  EXPECT_EQ(at_end.replacement_makeflags, "MAKEFLAGS=-j4 ");

  std::string first = "--jobserver-auth=" + closed + "," + closed + " -j";
  EXPECT_EQ(JobserverInfo(first.c_str()).replacement_makeflags, "MAKEFLAGS= -j");
}

TEST(Jobserver, DescriptorsMustBePositive) {
  JobserverInfo info("-j2 --jobserver-auth=0,1 -k");
  EXPECT_FALSE(info.active);
  EXPECT_EQ(info.replacement_makeflags, "MAKEFLAGS=-j2  -k");
  EXPECT_EQ(JobserverInfo("--jobserver-auth=junk").replacement_makeflags, "MAKEFLAGS=");
}

TEST(Jobserver, NamedPipe) {
  JobserverInfo info("-j8 --jobserver-auth=fifo:/tmp/GMfifo42 -Otarget");
  EXPECT_TRUE(info.active);
  EXPECT_EQ(info.pipe_path, "/tmp/GMfifo42");
  EXPECT_EQ(info.replacement_makeflags, "");
}

TEST(Jobserver, OnlyTheLastWordCounts) {
  OpenPipe jobs;
  std::string closed = std::to_string(closed_descriptor());
  std::string good_last = "--jobserver-auth=" + closed + "," + closed + " " + jobs.auth();
  EXPECT_TRUE(JobserverInfo(good_last.c_str()).active);
  std::string bad_last = jobs.auth() + " --jobserver-auth=" + closed + "," + closed + " -k";
  JobserverInfo info(bad_last.c_str());
  EXPECT_FALSE(info.active);
  EXPECT_EQ(info.replacement_makeflags, "MAKEFLAGS=" + jobs.auth() + "  -k");
}

TEST(Jobserver, ReadsTheEnvironment) {
  setenv("MAKEFLAGS", "-j2 --jobserver-auth=fifo:/x", 1);
  EXPECT_EQ(JobserverInfo().pipe_path, "/x");
  unsetenv("MAKEFLAGS");
  EXPECT_FALSE(JobserverInfo().active);
}

TEST(Jobserver, NumbersBeyondAnIntAreUnusable) {
  OpenPipe pipe;
  // 2^32 + N would wrap to N, an open descriptor.
  std::string wrapped = "--jobserver-auth=" + std::to_string(4294967296LL + pipe.read_end()) +
                        "," + std::to_string(4294967296LL + pipe.write_end());
  JobserverInfo info(("-j4 " + wrapped).c_str());
  EXPECT_FALSE(info.active);
  EXPECT_EQ(info.replacement_makeflags, "MAKEFLAGS=-j4 ");
  JobserverInfo huge("--jobserver-auth=99999999999999999999999,4");
  EXPECT_FALSE(huge.active);
  JobserverInfo fine(("-j4 " + pipe.auth()).c_str());
  EXPECT_TRUE(fine.active);
  EXPECT_EQ(fine.read_fd, pipe.read_end());
}

}  // namespace
}  // namespace vorn
