// lang_specific_driver: a first pass reads what the command line asks for
// and marks the options to rewrite; a second pass builds the new array and
// appends the libraries.
#include "driver/cxx_adjustments.h"

#include <cstring>
#include <vector>

#include "driver/run_driver.h"
#include "options/decode.h"
#include "options/option_codes.h"
#include "options/option_table.h"

namespace vorn {
namespace {

enum Mark : unsigned char {
  kLanguageWrap = 1,  // a .c, .i or .h input compiled as C++
  kMathLibrary = 2,   // -lm
  kCLibrary = 4,      // -lc
  kDrop = 8,          // removed from the output
};

// What the first pass found.  `library` is -1 when no C++ library may be
// added, 0 while none is needed, 1 when one is, 2 when it is linked
// statically.
struct LinkNeeds {
  int library = 0;
  bool libcxx = false;  // -stdlib=libc++ rather than the standard library
  bool math_needed = true;
  bool profiling = false;
  bool static_link = false;
  bool shared_support = true;
  bool contracts = false;
  bool language_given = false;  // a -x not yet consumed by an input
};

bool ends_with(const char* name, std::size_t length, const char* suffix) {
  std::size_t suffix_length = std::strlen(suffix);
  return length > suffix_length &&
         std::memcmp(name + length - suffix_length, suffix, suffix_length) == 0;
}

bool is_header_name(const char* name, std::size_t length) {
  static constexpr char kHeaderSuffixes[][5] = {".H",   ".h",   ".hpp", ".hp", ".hxx",
                                                ".h++", ".HPP", ".tcc", ".hh"};
  for (const char* suffix : kHeaderSuffixes) {
    if (ends_with(name, length, suffix)) return true;
  }
  return false;
}

bool is_cxx_language(const char* language) {
  static constexpr char kLanguages[][25] = {"c++", "c++-cpp-output", "objective-c++",
                                            "objective-c++-cpp-output"};
  for (const char* cxx : kLanguages) {
    if (language != nullptr && std::strcmp(language, cxx) == 0) return true;
  }
  return false;
}

void need_library(LinkNeeds* needs) {
  if (needs->library == 0) needs->library = 1;
}

unsigned char scan_input(const char* name, LinkNeeds* needs) {
  std::size_t length = std::strlen(name);
  if (length < 2) return 0;
  if (needs->language_given) {
    // The -x in force decides this file's language.
    needs->language_given = false;
    return 0;
  }
  unsigned char mark = 0;
  char last = name[length - 1];
  if (length > 2 && name[length - 2] == '.' && (last == 'c' || last == 'i' || last == 'h')) {
    mark = kLanguageWrap;
  }
  if (needs->library == 0 && !is_header_name(name, length)) needs->library = 1;
  return mark;
}

unsigned char scan_option(const DecodedOption& option, LinkNeeds* needs) {
  switch (option.index) {
    case OPT_fcontracts:
      needs->contracts = true;
      return 0;
    // A command that links nothing, or links no default libraries, gets
    // no C++ library.  These run before any option is recorded, so they
    // read the options themselves.
    case OPT_nostdlib:
    case OPT_nodefaultlibs:
    case OPT_r:
    case OPT_fsyntax_only:
    case OPT_c:
    case OPT_S:
    case OPT_E:
    case OPT_M:
    case OPT_MM:
      needs->library = -1;
      return 0;
    case OPT_nostdlibpp:
      needs->library = -1;
      return kDrop;
    case OPT_l:
      if (std::strcmp(option.argument, "m") == 0) {
        needs->math_needed = false;
        return kMathLibrary;
      }
      if (std::strcmp(option.argument, "c") == 0) return kCLibrary;
      need_library(needs);
      return 0;
    case OPT_p:
    case OPT_pg:
      needs->profiling = true;
      return 0;
    case OPT_x:
      if (needs->library == 0 && is_cxx_language(option.argument)) needs->library = 1;
      needs->language_given = true;
      return 0;
    case OPT_Xlinker:
    case OPT_Wl_:
      need_library(needs);
      return 0;
    case OPT_static:
      needs->static_link = true;
      return 0;
    case OPT_static_libvorn:
      needs->shared_support = false;
      return 0;
    case OPT_static_libcxxstd:
      if (needs->library != -1) needs->library = 2;
      return kDrop;
    case OPT_stdlib_:
      needs->libcxx = option.argument != nullptr && std::strcmp(option.argument, "libc++") == 0;
      return 0;
    case INPUT_FILE_ENTRY:
      return scan_input(option.argument, needs);
    default:
      return 0;
  }
}

const char* wrapped_language(const char* name) {
  switch (name[std::strlen(name) - 1]) {
    case 'c':
      return "c++";
    case 'i':
      return "c++-cpp-output";
    default:
      return "c++-header";
  }
}

class Builder {
 public:
  explicit Builder(std::vector<DecodedOption>* out) : out_(out) {}
  void add(const DecodedOption& option) { out_->push_back(option); }
  void generate(std::size_t index, const char* argument) {
    DecodedOption option;
    generate_option(index, argument, 1, kFlagDriver, &option);
    out_->push_back(option);
  }
  void library(const char* name, int* added) {
    generate(OPT_l, name);
    ++*added;
  }

 private:
  std::vector<DecodedOption>* out_;
};

void append_libraries(const LinkNeeds& needs, const DecodedOption* math, Builder* builder,
                      int* added) {
  const bool bracket_static = needs.library == 2 && !needs.static_link;
  if (needs.contracts && !needs.libcxx) builder->library("cxxstdexp", added);
  if (bracket_static) builder->generate(OPT_Wl_, "-Bstatic");
  if (needs.libcxx) {
    builder->library("c++", added);
    builder->library("c++abi", added);
  } else {
    builder->library("cxxstd", added);
  }
  if (bracket_static) builder->generate(OPT_Wl_, "-Bdynamic");
  if (math != nullptr) {
    builder->add(*math);
  } else if (needs.math_needed) {
    builder->library(needs.profiling ? "m_p" : "m", added);
  }
}

}  // namespace

void lang_specific_driver(const DecodedOption** options, std::size_t* count, int* added_libraries) {
  const DecodedOption* in = *options;
  const std::size_t in_count = *count;
  LinkNeeds needs;
  std::vector<unsigned char> marks(in_count, 0);
  for (std::size_t i = 1; i < in_count; ++i) {
    if ((in[i].errors & ERR_MISSING_ARGUMENT) != 0) continue;
    marks[i] = scan_option(in[i], &needs);
  }

  std::vector<DecodedOption>& rewritten = run_driver().cxx_options;
  rewritten.clear();
  rewritten.reserve(in_count + 8);
  Builder builder(&rewritten);
  builder.add(in[0]);  // the program name, always there
  const DecodedOption* math = nullptr;
  const DecodedOption* c_library = nullptr;
  for (std::size_t i = 1; i < in_count; ++i) {
    // Held back so that they follow the C++ library, which needs them.
    if ((marks[i] & kMathLibrary) != 0 && needs.library > 0 && math == nullptr) {
      math = &in[i];
    } else if ((marks[i] & kCLibrary) != 0 && needs.library > 0 && c_library == nullptr) {
      c_library = &in[i];
    } else if ((marks[i] & kLanguageWrap) != 0) {
      builder.generate(OPT_x, wrapped_language(in[i].argument));
      builder.add(in[i]);
      builder.generate(OPT_x, "none");
    } else if ((marks[i] & kDrop) == 0) {
      builder.add(in[i]);
    }
  }
  if (needs.library > 0) append_libraries(needs, math, &builder, added_libraries);
  if (c_library != nullptr) builder.add(*c_library);
  if (needs.shared_support && !needs.static_link) builder.generate(OPT_shared_libvorn, nullptr);

  *options = rewritten.data();
  *count = rewritten.size();
}

}  // namespace vorn
