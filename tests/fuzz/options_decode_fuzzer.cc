// Arbitrary argument vectors through decoding, pruning, canonical forms and
// reading the decoded options.
//
// Input: the first byte picks the language mask; the rest, split at NUL
// bytes, is the argument vector after the program name (with a few control
// bytes standing for option texts, see expand()).  Besides what the
// sanitizers catch, every decoded entry must be well formed, an option
// without errors must decode again from its canonical form to the same row,
// value and argument, and an option with errors must have a message for
// them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "diagnostics/diagnostic_context.h"
#include "diagnostics/run_diagnostics.h"
#include "options/options.h"
#include "options/run_options.h"

namespace {

using namespace vorn;

void fail(const char* what, const DecodedOption& d) {
  std::fprintf(stderr, "fuzz check failed: %s (index %zu, written '%s', errors 0x%x)\n", what,
               d.index, d.written_text ? d.written_text : "(null)", d.errors);
  std::abort();
}

std::uint32_t pick_mask(std::uint8_t selector) {
  switch (selector % 6) {
    case 0:
      return kFlagDriver;
    case 1:
      return kFlagLanguageMaskBits;
    case 2:
      return kFlagCommon;
    case 3:
      return kFlagCommon | kFlagTarget | (1u << 4);  // what a C++ compiler proper uses
    case 4:
      return kFlagTarget;
    default:
      return 1u << (selector / 6 % kOptionLanguageCount);
  }
}

// Random bytes seldom spell an option, so three control bytes stand for
// pieces of the table: 0x01 H L the text of row H*256+L, 0x02 M H L that row
// written through prefix mapping M, 0x03 T V a value name of enumerated
// table T.  Everything else is taken as it is.
std::string expand(const std::string& element) {
  std::string out;
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(element[i]); };
  for (std::size_t i = 0; i < element.size(); ++i) {
    unsigned char c = byte(i);
    if (c == 0x01 && i + 2 < element.size()) {
      out += kOptionTable[(byte(i + 1) * 256u + byte(i + 2)) % OPTION_COUNT].text.c_str();
      i += 2;
    } else if (c == 0x02 && i + 3 < element.size()) {
      const PrefixMapping& m = kPrefixMappings[byte(i + 1) % kPrefixMappingCount];
      const char* text = kOptionTable[(byte(i + 2) * 256u + byte(i + 3)) % OPTION_COUNT].text;
      std::size_t n = std::strlen(m.replacement);
      out += m.prefix;
      out += std::strncmp(text, m.replacement, n) == 0 ? text + n : text + 1;
      i += 3;
    } else if (c == 0x03 && i + 2 < element.size()) {
      const OptionEnumTable& table = kOptionEnumTables[byte(i + 1) % kOptionEnumTableCount];
      std::size_t values = 0;
      while (table.values[values].name != nullptr) ++values;
      out += table.values[byte(i + 2) % values].name.c_str();
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool is_special(std::size_t index) {
  return index >= UNKNOWN_OPTION && index <= INPUT_FILE_ENTRY;
}

constexpr int kAllErrors = ERR_DISABLED | ERR_MISSING_ARGUMENT | ERR_WRONG_LANGUAGE |
                           ERR_NOT_UNSIGNED | ERR_OUT_OF_RANGE | ERR_BAD_ENUM |
                           ERR_NEGATIVE_REJECTED | ERR_BAD_ENUM_SET;

void check_shape(const DecodedOption& d) {
  if (d.index >= OPTION_COUNT && !is_special(d.index)) fail("index out of range", d);
  if (d.written_text == nullptr) fail("no written text", d);
  if (d.errors & ~kAllErrors) fail("unknown error bits", d);
  if (d.canonical_count < 1 || d.canonical_count > 5) fail("canonical count", d);
  bool has_elements = d.index != IGNORED_OPTION && d.index != REMOVED_OPTION;
  if (!has_elements) return;
  if (d.canonical_count > kMaxCanonicalElements) fail("canonical count above four", d);
  for (std::size_t i = 0; i < d.canonical_count; ++i) {
    if (d.canonical[i] == nullptr) fail("missing canonical element", d);
  }
}

bool same_text(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return std::strcmp(a, b) == 0;
}

// The canonical form must say the same thing as what the user wrote.
void check_round_trip(const DecodedOption& d, std::uint32_t mask) {
  std::vector<const char*> argv(d.canonical, d.canonical + d.canonical_count);
  argv.push_back(nullptr);
  DecodedOption again{};
  std::size_t used = decode_cmdline_option(argv.data(), mask, &again);
  if (used != d.canonical_count) fail("canonical form uses another element count", d);
  if (again.index != d.index) fail("canonical form names another row", d);
  // A separate argument may be empty ("--specs ''"), but its canonical form
  // joins it to a row that does not accept an empty joined argument, so
  // reading that form back reports the argument as missing.
  bool empty_joined = d.argument != nullptr && d.argument[0] == '\0' &&
                      (again.errors & ~d.errors) == ERR_MISSING_ARGUMENT;
  if (again.errors != d.errors && !empty_joined) fail("canonical form has other errors", d);
  if (empty_joined) return;
  // Only "-W", "-f", "-g" and "-m" rows spell their "no-" form; the others
  // keep their plain text, so "-fno-version" (an alias of "--version")
  // canonicalises to "--version" and the value 0 is not written.
  const OptionDescriptor& row = kOptionTable[d.index];
  char family = row.text[1];
  bool spells_negation = !(row.attributes & kAttrNoNegativeForm) &&
                         (family == 'W' || family == 'f' || family == 'g' || family == 'm');
  bool unwritten_negation = d.value == 0 && !spells_negation;
  if (again.value != d.value && !unwritten_negation) fail("canonical form has another value", d);
  if (!same_text(again.argument, d.argument)) fail("canonical form has another argument", d);
  if (again.mask != d.mask) fail("canonical form has another mask", d);
  // An option the program creates from the same row, argument and value
  // has the same canonical form.
  DecodedOption made{};
  generate_option(d.index, d.argument, d.value, mask, &made);
  if (made.canonical_count != d.canonical_count) fail("generated option differs", d);
  for (std::size_t i = 0; i < d.canonical_count; ++i) {
    if (!same_text(made.canonical[i], d.canonical[i])) fail("generated option differs", d);
  }
}

void check_errors_reported(const DecodedOption& d, std::uint32_t mask) {
  if (d.index >= OPTION_COUNT) return;
  bool reported =
      report_option_error(current_location, d.index, d.written_text, d.argument, d.errors, mask);
  if (reported != ((d.errors & ~ERR_WRONG_LANGUAGE) != 0)) fail("errors not reported", d);
  const OptionDescriptor& row = kOptionTable[d.index];
  if ((d.errors & ERR_BAD_ENUM_SET) && !(d.errors & (ERR_DISABLED | ERR_MISSING_ARGUMENT))) {
    EnumListFault fault = find_enum_list_fault(kOptionEnumTables[row.enum_index], d.argument,
                                               static_cast<int>(row.variable_value), mask);
    if (fault.kind == EnumListFault::kNone) fail("bad list without a culprit", d);
  }
}

// Whether a use of row LATER cancels an earlier use of row EARLIER: the
// negation links from LATER reach EARLIER before they come back to LATER.
bool cancels(std::size_t later, std::size_t earlier) {
  long link = kOptionTable[later].negation_link;
  for (std::size_t steps = 0; link >= 0 && steps <= OPTION_COUNT; ++steps) {
    if (static_cast<std::size_t>(link) == earlier) return true;
    if (static_cast<std::size_t>(link) == later) return false;
    link = kOptionTable[link].negation_link;
  }
  return false;
}

bool takes_part_in_cancelling(const DecodedOption& d) {
  if ((d.errors & ~ERR_WRONG_LANGUAGE) != 0 || d.index >= OPTION_COUNT) return false;
  const OptionDescriptor& row = kOptionTable[d.index];
  if (row.negation_link < 0) return false;
  bool last_wins =
      (row.attributes & kAttrNoNegativeForm) && row.negation_link == static_cast<long>(d.index);
  return !(row.flags & kFlagJoined) || last_wins;
}

bool moved_to_front(const DecodedOption& d) {
  return (d.errors & ~ERR_WRONG_LANGUAGE) == 0 &&
         (d.index == OPT_fdiagnostics_color_ || d.index == OPT_Wcomplain_wrong_lang);
}

// After pruning nothing cancels anything else, and the two options that act
// first stand right after the program name, each at most once.
void check_pruned(const DecodedOption* options, std::size_t count) {
  std::size_t front = 1;
  for (std::size_t index :
       {std::size_t{OPT_Wcomplain_wrong_lang}, std::size_t{OPT_fdiagnostics_color_}}) {
    if (front < count && moved_to_front(options[front]) && options[front].index == index) ++front;
  }
  for (std::size_t i = front; i < count; ++i) {
    if (moved_to_front(options[i])) fail("option not moved to the front", options[i]);
  }
  for (std::size_t j = 1; j < count && count <= 64; ++j) {
    if (!takes_part_in_cancelling(options[j])) continue;
    for (std::size_t i = front; i < j; ++i) {
      if (takes_part_in_cancelling(options[i]) && cancels(options[j].index, options[i].index)) {
        fail("a cancelled option survived pruning", options[i]);
      }
    }
  }
}

bool report_unknown(const DecodedOption*) {
  return true;
}
void ignore_wrong_language(const DecodedOption*, std::uint32_t) {}

// Applies every entry as the driver would, then releases the lists that
// Deferred variables grew so that nothing is left behind between inputs.
void apply_all(const DecodedOption* options, std::size_t count, std::uint32_t mask) {
  static OptionsRecord values;
  static OptionsRecord explicitly_set;
  values = kInitialOptionsRecord;
  explicitly_set = OptionsRecord{};
  OptionHandlers handlers{};
  handlers.unknown_option_callback = report_unknown;
  handlers.wrong_language_callback = ignore_wrong_language;
  for (std::size_t i = 1; i < count; ++i) {
    if (options[i].index == INPUT_FILE_ENTRY) continue;
    read_cmdline_option(&values, &explicitly_set, &options[i], current_location, mask, &handlers,
                        &diagnostic_context());
  }
  for (std::size_t i = 0; i < OPTION_COUNT; ++i) {
    if (kOptionTable[i].variable_kind != VariableKind::Deferred) continue;
    auto** list = static_cast<DeferredOptionList**>(option_variable(i, &values));
    if (list == nullptr || *list == nullptr) continue;
    std::free((*list)->items);
    std::free(*list);
    *list = nullptr;
  }
}

// Each input runs with fresh states of the modules it reaches, so that
// nothing one input counted or set carries over to the next; the
// diagnostics keep what they print instead of writing it out.
struct FreshRun {
  BoundState<RunDiagnostics> diagnostics;
  BoundState<RunOptions> options;

  FreshRun() {
    diagnostic_context_init(&diagnostic_context(), 10);
    diagnostic_context().output_printer->store.flush_on_request = false;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  FreshRun run;
  std::uint32_t mask = pick_mask(data[0]);
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> elements;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\0') {
      elements.push_back(expand(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  std::vector<const char*> argv{"vorn-cxx"};
  for (const std::string& e : elements) argv.push_back(e.c_str());

  DecodedOption* options = nullptr;
  std::size_t count = 0;
  decode_options_to_array(argv.size(), argv.data(), mask, &options, &count);
  if (count == 0 || options[0].index != PROGRAM_NAME_ENTRY) std::abort();
  check_pruned(options, count);
  for (std::size_t i = 0; i < count; ++i) {
    const DecodedOption& d = options[i];
    check_shape(d);
    if (d.index < OPTION_COUNT && d.errors == 0) check_round_trip(d, mask);
    check_errors_reported(d, mask);
  }
  apply_all(options, count, mask);
  std::free(options);
  return 0;
}
