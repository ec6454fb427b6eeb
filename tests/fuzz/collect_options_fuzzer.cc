// Arbitrary text through the reader of the collected-options format.
//
// The splitting function is fuzzed directly (the reader proper ends the
// process on a malformed text, which libFuzzer would count as a crash).  The
// elements read must survive being quoted again as the driver quotes them
// and read back, and for a well-formed text the reader must give the same
// argument vector as the splitter.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "options/collect_options_reader.h"

namespace {

void fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// Each element in single quotes, a quote inside written '\'', one space
// between elements.
std::string quote(const std::vector<std::string>& elements) {
  std::string text;
  for (const std::string& e : elements) {
    if (!text.empty()) text += ' ';
    text += '\'';
    for (char c : e) {
      if (c == '\'') {
        text += "'\\''";
      } else {
        text += c;
      }
    }
    text += '\'';
  }
  return text;
}

void check_reader_agrees(const std::string& text, const std::vector<std::string>& elements) {
  char** argv = vorn::read_collected_options(text.c_str());
  std::size_t n = 0;
  for (; argv[n] != nullptr; ++n) {
    if (n >= elements.size() || elements[n] != argv[n]) fail("reader and splitter disagree");
    std::free(argv[n]);
  }
  if (n != elements.size()) fail("reader returned another element count");
  std::free(argv);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The format is a C string: everything after a NUL byte is invisible.
  std::string text(reinterpret_cast<const char*>(data), size);
  text.resize(std::strlen(text.c_str()));
  std::vector<std::string> elements;
  bool complete = vorn::split_collected_options(text.c_str(), &elements);
  for (const std::string& e : elements) {
    if (e.find('\0') != std::string::npos) fail("element holds a NUL byte");
  }
  std::vector<std::string> again;
  if (!vorn::split_collected_options(quote(elements).c_str(), &again)) {
    fail("quoted elements read back as malformed");
  }
  if (again != elements) fail("quoted elements read back differently");
  if (complete) check_reader_agrees(text, elements);
  return 0;
}
