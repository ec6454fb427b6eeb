#include "support/memory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include <unistd.h>

#include "support/process_exit.h"
#include "support/system_error.h"

// Huge requests must fail inside malloc, not be stopped by the sanitizer.
extern "C" const char* __asan_default_options() {
  return "allocator_may_return_null=1";
}

namespace vorn {
namespace {

// Kept out of the compiler's sight, which rejects a constant this large.
std::size_t huge_size() {
  volatile std::size_t size = SIZE_MAX / 2;
  return size;
}

TEST(MemoryTest, OutOfMemoryNamesProgramAndSize) {
  EXPECT_EXIT(
      {
        set_memory_program_name("vorn-test");
        out_of_memory(123);
      },
      testing::ExitedWithCode(1), "^\nvorn-test: out of memory allocating 123 bytes\n$");
  EXPECT_EXIT(
      {
        set_memory_program_name("");
        out_of_memory(7);
      },
      testing::ExitedWithCode(1), "^\nout of memory allocating 7 bytes\n$");
  EXPECT_EXIT(memory_exhausted(), testing::ExitedWithCode(1), "^memory exhausted\n$");
}

// Both the C wrappers and C++ `new` report the size that failed.
TEST(MemoryTest, FailedAllocationsTakeTheOutOfMemoryExit) {
  const std::size_t huge = huge_size();
  std::string expected = "out of memory allocating " + std::to_string(huge) + " bytes";
  EXPECT_EXIT(xmalloc(huge), testing::ExitedWithCode(1), expected);
  EXPECT_EXIT(xrealloc(xmalloc(8), huge), testing::ExitedWithCode(1), expected);
  // A count times size that overflows is reported as the largest size.
  EXPECT_EXIT(xcalloc(huge, 4), testing::ExitedWithCode(1),
              "out of memory allocating " + std::to_string(SIZE_MAX) + " bytes");
  EXPECT_EXIT(
      {
        char* volatile block = new char[huge];
        block[0] = 1;
      },
      testing::ExitedWithCode(1), expected);
  char* volatile nothing = new (std::nothrow) char[huge];
  EXPECT_EQ(nothing, nullptr);
  void* volatile none = ::operator new(huge, std::nothrow);
  EXPECT_EQ(none, nullptr);
}

// A cleanup on the way out that runs out of memory again ends the process
// at once: it must not start a second ending from inside the first.  A dead standard
// error is given up on rather than retried for ever.
TEST(MemoryTest, OutOfMemoryWhileExitingAndWithoutStandardError) {
  EXPECT_EXIT(
      {
        set_memory_program_name(nullptr);
        set_exit_cleanup([](Ending) { out_of_memory(2); });
        out_of_memory(1);
      },
      testing::ExitedWithCode(1),
      "^\nout of memory allocating 1 bytes\n\nout of memory allocating 2 bytes\n$");
  EXPECT_EXIT(
      {
        close(STDERR_FILENO);
        memory_exhausted();
      },
      testing::ExitedWithCode(1), "^$");
}

// A failed calloc whose product fits is reported with that product, and a
// zero size (not only a zero count) still gives a block.
TEST(MemoryTest, CallocSizes) {
  const std::size_t huge = huge_size();
  EXPECT_EXIT(xcalloc(huge, 1), testing::ExitedWithCode(1),
              "out of memory allocating " + std::to_string(huge) + " bytes");
  char* zeroed = static_cast<char*>(xcalloc(16, 0));
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(zeroed[0], 0);
  std::free(zeroed);
}

// Aligned requests: an alignment below a pointer's is raised, a zero size
// still gives a block, and a size whose rounding up would wrap around takes
// the out-of-memory exit instead of allocating a tiny block.
TEST(MemoryTest, AlignedEdgeSizes) {
  void* small = ::operator new[](3, std::align_val_t(1));
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(small) % sizeof(void*), 0u);
  ::operator delete[](small, std::align_val_t(1));
  void* empty = ::operator new[](0, std::align_val_t(64));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(empty) % 64, 0u);
  ::operator delete[](empty, std::align_val_t(64));
  volatile std::size_t almost_all = SIZE_MAX - 8;
  EXPECT_EXIT(static_cast<void>(::operator new(almost_all, std::align_val_t(64))), testing::ExitedWithCode(1),
              "out of memory allocating " + std::to_string(SIZE_MAX - 8) + " bytes");
  const std::size_t huge = huge_size();
  EXPECT_EXIT(static_cast<void>(::operator new[](huge, std::align_val_t(64))), testing::ExitedWithCode(1),
              "out of memory allocating " + std::to_string(huge) + " bytes");
}

TEST(MemoryTest, ZeroByteRequestsGiveUsableBlocks) {
  char* block = static_cast<char*>(xmalloc(0));
  ASSERT_NE(block, nullptr);
  block[0] = 'x';
  block = static_cast<char*>(xrealloc(block, 0));
  ASSERT_NE(block, nullptr);
  block[0] = 'y';
  std::free(block);
  char* zeroed = static_cast<char*>(xcalloc(0, 16));
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(zeroed[0], 0);
  std::free(zeroed);
}

TEST(MemoryTest, StringCopies) {
  char* copy = xstrdup("archive");
  EXPECT_STREQ(copy, "archive");
  std::free(copy);
  char* prefix = xstrndup("archive", 4);
  EXPECT_STREQ(prefix, "arch");
  std::free(prefix);
  char* whole = xstrndup("ar", 10);  // never reads past the terminator
  EXPECT_STREQ(whole, "ar");
  std::free(whole);
}

TEST(MemoryTest, ArraysWithDestructorsAreReleased) {
  // The element count is stored before the elements, and the size given
  // back on release.
  std::string* texts = new std::string[3];
  texts[2] = "a text too long for the string's own buffer";
  delete[] texts;
}

TEST(MemoryTest, OverAlignedNewIsAligned) {
  struct alignas(256) Page {
    char bytes[256];
  };
  Page* pages = new Page[3];
  ASSERT_NE(pages, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pages) % 256, 0u);
  pages[2].bytes[255] = 1;
  delete[] pages;
  Page* page = new Page;
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(page) % 256, 0u);
  delete page;
  // The nothrow forms, released by the matching deletes.
  Page* spare = new (std::nothrow) Page;
  ASSERT_NE(spare, nullptr);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(spare) % 256, 0u);
  ::operator delete(spare, std::align_val_t{alignof(Page)}, std::nothrow);
  Page* spares = new (std::nothrow) Page[2];
  ASSERT_NE(spares, nullptr);
  ::operator delete[](spares, std::align_val_t{alignof(Page)}, std::nothrow);
  void* plain = ::operator new(16, std::nothrow);
  ASSERT_NE(plain, nullptr);
  ::operator delete(plain, std::nothrow);
  void* plains = ::operator new[](16, std::nothrow);
  ::operator delete[](plains, std::nothrow);
  void* aligned = ::operator new(64, std::align_val_t{64});
  ::operator delete(aligned, std::align_val_t{64});
  void* sized = ::operator new[](64, std::align_val_t{64});
  ::operator delete[](sized, 64, std::align_val_t{64});
}

TEST(SystemErrorTest, KnownAndUnknownNumbers) {
  EXPECT_STREQ(system_error_text(ENOENT), std::strerror(ENOENT));
  EXPECT_STREQ(system_error_description(ENOENT), "No such file or directory");
  EXPECT_STREQ(system_error_text(123456), "undocumented error #123456");
  EXPECT_STREQ(system_error_text(-1), "undocumented error #-1");
  EXPECT_EQ(system_error_description(123456), nullptr);
}

}  // namespace
}  // namespace vorn
