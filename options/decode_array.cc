// Decoding a whole argument vector, and entries the program creates itself.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "options/canonical.h"
#include "options/decode.h"
#include "options/lookup.h"
#include "options/option_arena.h"
#include "options/option_codes.h"
#include "options/option_table.h"
#include "options/prune.h"
#include "support/memory.h"

namespace vorn {
namespace {

// "-fdiagnostics-plain-output" stands for these options, decoded in order.
constexpr char kPlainOutputOptions[][42] = {
    "-fno-diagnostics-show-caret",
    "-fno-diagnostics-show-line-numbers",
    "-fdiagnostics-color=never",
    "-fdiagnostics-urls=never",
    "-fdiagnostics-path-format=separate-events",
};

// The decoded array while it grows.
class DecodedArray {
 public:
  explicit DecodedArray(std::size_t capacity)
      : capacity_(capacity > 0 ? capacity : 1),
        items_(static_cast<DecodedOption*>(xmalloc(capacity_ * sizeof(DecodedOption)))) {}

  DecodedOption* append() {
    if (count_ == capacity_) {
      capacity_ *= 2;
      items_ = static_cast<DecodedOption*>(xrealloc(items_, capacity_ * sizeof(DecodedOption)));
    }
    return &items_[count_++];
  }

  void release(DecodedOption** items, std::size_t* count) {
    *items = items_;
    *count = count_;
  }

 private:
  std::size_t capacity_;
  DecodedOption* items_;
  std::size_t count_ = 0;
};

void fill_plain_entry(std::size_t index, const char* text, DecodedOption* out) {
  *out = DecodedOption{};
  out->index = index;
  out->argument = text;
  out->written_text = text;
  out->canonical[0] = text;
  out->canonical_count = 1;
  out->value = 1;
}

}  // namespace

void generate_input_file_entry(const char* text, DecodedOption* out) {
  fill_plain_entry(INPUT_FILE_ENTRY, text, out);
}

void generate_option(std::size_t index, const char* argument, std::int64_t value,
                     std::uint32_t language_mask, DecodedOption* out) {
  const OptionDescriptor& row = kOptionTable[index];
  *out = DecodedOption{};
  out->index = index;
  out->argument = argument;
  out->value = value;
  out->errors = option_ok_for_language_mask(row.flags, language_mask) ? 0 : ERR_WRONG_LANGUAGE;
  generate_canonical_option(index, argument, value, out);
  out->written_text = out->canonical_count == 1
                          ? out->canonical[0]
                          : arena_concat(arena_concat(out->canonical[0], " "), out->canonical[1]);
}

void decode_options_to_array(std::size_t argc, const char* const* argv, std::uint32_t language_mask,
                             DecodedOption** options, std::size_t* count) {
  // A private copy, because "--param" "x" is merged into "--param=x" in place.
  std::vector<const char*> args;
  args.reserve(argc + 1);
  args.assign(argv, argv + argc);
  args.push_back(nullptr);
  DecodedArray array(argc);
  fill_plain_entry(PROGRAM_NAME_ENTRY, argc > 0 ? args[0] : "", array.append());
  for (std::size_t i = 1; i < argc;) {
    const char* arg = args[i];
    if (arg[0] != '-' || arg[1] == '\0') {
      generate_input_file_entry(arg, array.append());
      ++i;
      continue;
    }
    if (std::strcmp(arg, "--param") == 0 && i + 1 < argc) {
      args[i + 1] = arena_concat("--param=", args[i + 1]);
      ++i;
      continue;
    }
    if (std::strcmp(arg, "-fdiagnostics-plain-output") == 0) {
      for (const char* expanded : kPlainOutputOptions) {
        const char* one[] = {expanded, nullptr};
        decode_cmdline_option(one, language_mask, array.append());
      }
      ++i;
      continue;
    }
    i += decode_cmdline_option(&args[i], language_mask, array.append());
  }
  array.release(options, count);
  prune_options(options, count);
}

}  // namespace vorn
