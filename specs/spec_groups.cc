// Conditional groups: "%{S}" print groups and "%{COND:BODY;...}"
// conditional groups, with "%*" bodies applied to every matching switch.
#include "specs/spec_groups.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "diagnostics/diagnostic.h"
#include "specs/compilers_table.h"
#include "specs/spec_functions.h"
#include "specs/spec_interpreter.h"
#include "specs/spec_state.h"
#include "specs/switch_atom_scan.h"

namespace vorn {
namespace {

// The group text for messages: from just after "{" to its closing "}" (or
// the end of the spec).
std::string group_text(const char* start) {
  int level = 1;
  const char* p = start;
  for (; *p != '\0'; ++p) {
    if (*p == '{') ++level;
    if (*p == '}' && --level == 0) break;
  }
  return std::string(start, p);
}

struct Atom {
  bool negated = false;
  char marker = 0;  // '.' suffix test, ',' language test, 0 switch test
  bool function = false;
  bool function_result = false;
  bool starred = false;
  bool escaped = false;   // the name had backslashes: it lives in `unescaped`
  std::string_view text;  // the name as written, when it had none
  std::string unescaped;  // backslashes removed

  std::string_view name() const { return escaped ? std::string_view(unescaped) : text; }
  bool plain() const { return !negated && marker == 0 && !function && !name().empty(); }
};

bool switch_test(std::string_view name, bool starred) {
  const SwitchTable& table = command_line().switches;
  // "DFOO" also stands for "-D FOO" (and "UFOO" for "-U FOO").
  bool define_like = !name.empty() && (name[0] == 'D' || name[0] == 'U');
  std::string_view rest = define_like ? name.substr(1) : std::string_view();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const CommandSwitch& sw = table[i];
    if (starred) {
      if (switch_text_matches(sw.text, name, true) &&
          switch_is_live(i, static_cast<int>(name.size()))) {
        return true;
      }
      if (define_like && sw.text[0] == name[0] && sw.arguments != nullptr &&
          std::string_view(sw.arguments[0]).starts_with(rest) && switch_is_live(i, 1)) {
        return true;
      }
    } else {
      if (switch_text_matches(sw.text, name, false) && switch_is_live(i, -1)) return true;
      if (define_like && sw.text[0] == name[0] && sw.text[1] == '\0' && sw.arguments != nullptr &&
          rest == sw.arguments[0] && switch_is_live(i, -1)) {
        return true;
      }
    }
  }
  return false;
}

bool atom_holds(const Atom& atom) {
  bool result;
  if (atom.function) {
    result = atom.function_result;
  } else if (atom.marker == '.') {
    // "" without a current input, so the test is false then.
    result = atom.name() == compile_progress().input.suffix;
  } else if (atom.marker == ',') {
    const CompilerEntry* compiler = compile_progress().input.compiler;
    result = compiler != nullptr && compiler->suffix[0] == '@' && atom.name() == compiler->suffix + 1;
  } else {
    result = switch_test(atom.name(), atom.starred);
  }
  return result != atom.negated;
}

// Gives the print-group atom's switches their ordering flag.
void select_for_printing(const Atom& atom) {
  SwitchTable& table = command_line().switches;
  std::string_view name = atom.name();
  int prefix_length = atom.starred ? static_cast<int>(name.size()) : -1;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (!switch_text_matches(table[i].text, name, atom.starred)) continue;
    if (switch_is_live(i, prefix_length)) table[i].ordering = true;
  }
}

void print_selected_switches() {
  SwitchTable& table = command_line().switches;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (!table[i].ordering) continue;
    table[i].ordering = false;
    emit_switch(i, false);
  }
}

// A view of the spec text: a body that is skipped is never copied.
struct Body {
  std::string_view text;
  bool uses_star = false;
};

class GroupReader {
 public:
  explicit GroupReader(const char* start) : start_(start), p_(start) {}

  // The position after the group, or null when an expansion failed.
  const char* run();

 private:
  [[noreturn]] void invalid() const {
    fatal_error(current_location, "braced spec %qs is invalid at %qc", group_text(start_).c_str(),
                *p_);
  }

  bool read_atom(Atom* atom);
  Body read_body();
  bool expand_body(const Body& body, std::string_view match);
  const char* finish_print_group(const Atom& first);
  const char* default_alternative();

  const char* start_;
  const char* p_;
  bool any_matched_ = false;
  bool seen_semicolon_ = false;
};

// Reads one atom at p_; a spec-function atom is called here, whatever the
// decision needs.  False when the function's result failed to expand.
bool GroupReader::read_atom(Atom* atom) {
  p_ = skip_atom_blanks(p_);
  if (*p_ == '!') {
    atom->negated = true;
    p_ = skip_atom_blanks(p_ + 1);
  }
  if (p_[0] == '%' && p_[1] == ':') {
    atom->function = true;
    const char* after = call_spec_function(p_ + 2, &atom->function_result, nullptr);
    if (after == nullptr) return false;
    p_ = skip_atom_blanks(after);
    return true;
  }
  if (*p_ == '.' || *p_ == ',') atom->marker = *p_++;
  const char* begin = p_;
  while (kSwitchNameChars.contains(*p_)) ++p_;
  atom->text = std::string_view(begin, static_cast<std::size_t>(p_ - begin));
  if (*p_ == '\\') {
    atom->escaped = true;
    atom->unescaped.assign(atom->text);
    for (;;) {
      if (*p_ == '\\') {
        if (p_[1] == '\0') {
          fatal_error(current_location, "braced spec %qs ends in escape",
                      group_text(start_).c_str());
        }
        atom->unescaped.push_back(p_[1]);
        p_ += 2;
      } else if (kSwitchNameChars.contains(*p_)) {
        atom->unescaped.push_back(*p_++);
      } else {
        break;
      }
    }
  }
  if (*p_ == '*') {
    atom->starred = true;
    ++p_;
  }
  p_ = skip_atom_blanks(p_);
  if (atom->marker != 0 && atom->starred) invalid();
  return true;
}

// Where the scan of a body stops: at its own level on NUL, braces, ";" and
// "%" (for "%*"); inside a nested group only NUL and braces matter.
enum class Stops { kBodyLevel, kBracesOnly };

// The first stop at or after P.  Long runs without one are the common case,
// so the scan takes sixteen bytes at a time where the machine can.  It reads
// whole aligned blocks, which never cross a page, so the bytes of the
// terminator's block after it are read but never used (the address
// sanitizer would take that read for an overflow).
#if defined(__SSE2__)
// The stops among the sixteen bytes of BLOCK, one bit each.
template <Stops kStops>
__attribute__((no_sanitize_address)) unsigned stops_in(const __m128i* block) {
  const __m128i bytes = _mm_load_si128(block);
  __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_setzero_si128()),
                                           _mm_cmpeq_epi8(bytes, _mm_set1_epi8('{'))),
                              _mm_cmpeq_epi8(bytes, _mm_set1_epi8('}')));
  if constexpr (kStops == Stops::kBodyLevel) {
    hits = _mm_or_si128(hits, _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(';')),
                                           _mm_cmpeq_epi8(bytes, _mm_set1_epi8('%'))));
  }
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

template <Stops kStops>
__attribute__((no_sanitize_address)) const char* next_stop(const char* p) {
  const auto address = reinterpret_cast<std::uintptr_t>(p);
  const unsigned skip = static_cast<unsigned>(address & 15);
  const auto* block = reinterpret_cast<const __m128i*>(address - skip);
  unsigned mask = stops_in<kStops>(block) >> skip;
  if (mask != 0) return p + std::countr_zero(mask);
  for (;;) {
    ++block;
    mask = stops_in<kStops>(block);
    if (mask != 0) return reinterpret_cast<const char*>(block) + std::countr_zero(mask);
  }
}
#else
template <Stops kStops>
const char* next_stop(const char* p) {
  static constexpr std::array<bool, 256> kTable = [] {
    std::array<bool, 256> stops{};
    for (unsigned char c : {'\0', '{', '}'}) stops[c] = true;
    if (kStops == Stops::kBodyLevel) stops[';'] = stops['%'] = true;
    return stops;
  }();
  while (!kTable[static_cast<unsigned char>(*p)]) ++p;
  return p;
}
#endif

// The body runs to the ";" or "}" that ends the alternative; braces nest
// whether or not they follow "%".  Only the characters that matter stop the
// scan, so skipping a long body costs little more than finding its end.
Body GroupReader::read_body() {
  Body body;
  const char* start = p_;
  int level = 1;
  for (;; ++p_) {
    p_ = level == 1 ? next_stop<Stops::kBodyLevel>(p_) : next_stop<Stops::kBracesOnly>(p_);
    char c = *p_;
    if (c == '\0') fatal_error(current_location, "braced spec body %qs is invalid", start);
    if (c == '{') {
      ++level;
    } else if (c == '}') {
      if (level == 1) break;
      --level;
    } else if (c == ';') {
      break;  // ";" and "%" stop the scan at the body's own level only
    } else if (p_[1] == '*') {
      body.uses_star = true;
    }
  }
  const char* end = p_;
  // Only spaces and tabs are blanks: a newline at the end of a body ends a
  // command ("... -o %g.ii \n}" runs the preprocessing step on its own).
  while (end > start && (end[-1] == ' ' || end[-1] == '\t')) --end;
  body.text = std::string_view(start, static_cast<std::size_t>(end - start));
  return body;
}

// A body is interpreted as a text of its own, ending where the body ends;
// most are short enough to copy onto the stack.
class BodyCopy {
 public:
  explicit BodyCopy(std::string_view text) {
    if (text.size() < sizeof small_) {
      std::memcpy(small_, text.data(), text.size());
      small_[text.size()] = '\0';
      data_ = small_;
    } else {
      large_.assign(text);
      data_ = large_.c_str();
    }
  }
  BodyCopy(const BodyCopy&) = delete;
  BodyCopy& operator=(const BodyCopy&) = delete;
  const char* c_str() const { return data_; }

 private:
  char small_[1024];
  std::string large_;
  const char* data_;
};

// A "%*" body runs once for every live switch that the matching atom
// names, "%*" standing for the rest of the switch's text.
bool GroupReader::expand_body(const Body& body, std::string_view match) {
  const BodyCopy text(body.text);
  if (!body.uses_star) return do_spec_1(text.c_str(), false, nullptr) == 0;
  SwitchTable& table = command_line().switches;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (!switch_text_matches(table[i].text, match, true)) continue;
    if (!switch_is_live(i, static_cast<int>(match.size()))) continue;
    if (do_spec_1(text.c_str(), false, table[i].text + match.size()) != 0) return false;
    emit_switch(i, true);
    spec_state().suffix_substitution = nullptr;
  }
  return true;
}

const char* GroupReader::default_alternative() {
  if (!seen_semicolon_) invalid();
  ++p_;
  Body body = read_body();
  if (body.uses_star) {
    fatal_error(current_location, "braced spec body %qs is invalid",
                std::string(body.text).c_str());
  }
  if (*p_ != '}') invalid();
  if (!any_matched_ && !expand_body(body, std::string_view())) return nullptr;
  return p_ + 1;
}

// The atoms of a print group are plain names joined by "&"; FIRST has
// been read.
const char* GroupReader::finish_print_group(const Atom& first) {
  Atom atom = first;
  for (;;) {
    if (!atom.plain()) invalid();
    select_for_printing(atom);
    if (*p_ != '&') break;
    ++p_;
    atom = Atom{};
    if (!read_atom(&atom)) return nullptr;
  }
  if (*p_ != '}') invalid();
  print_selected_switches();
  return p_ + 1;
}

const char* GroupReader::run() {
  for (bool first_alternative = true;; first_alternative = false) {
    p_ = skip_atom_blanks(p_);
    if (*p_ == ':') return default_alternative();
    bool value = false;
    bool all_starred = true;
    bool seen_bar = false;
    // The first holding atom's name; the atoms themselves are gone by the
    // time the body runs.
    std::string match_storage;
    std::string_view match;
    for (;;) {
      Atom atom;
      if (!read_atom(&atom)) return nullptr;
      bool print_context = first_alternative && !seen_bar;
      if (print_context && (*p_ == '&' || *p_ == '}')) return finish_print_group(atom);
      if (!atom.function && atom.name().empty() && !atom.starred) invalid();
      // Only the atoms that decide count for "%*": none after a match in
      // this alternative, none once an earlier alternative matched.  A
      // function atom was called whatever the decision needed, and is
      // never starred.
      const bool evaluated = atom.function || (!value && !any_matched_);
      if (evaluated && !atom.starred) all_starred = false;
      if (!value && !any_matched_ && atom_holds(atom)) {
        value = true;
        if (atom.escaped) {
          match_storage = atom.unescaped;
          match = match_storage;
        } else {
          match = atom.text;
        }
      }
      if (*p_ != '|') break;
      seen_bar = true;
      ++p_;
    }
    if (*p_ == ':') {
      ++p_;
      Body body = read_body();
      if (body.uses_star && !all_starred) {
        fatal_error(current_location, "braced spec body %qs is invalid",
                    std::string(body.text).c_str());
      }
      // VALUE is only ever set while no earlier alternative matched.
      if (value && !expand_body(body, match)) return nullptr;
    } else if (*p_ != ';' && !(*p_ == '}' && seen_semicolon_ && !seen_bar)) {
      invalid();
    }
    any_matched_ = any_matched_ || value;
    if (*p_ == '}') return p_ + 1;
    // Here *p_ is ";": a body ends only at ";" or "}", and so does a
    // condition without one.
    seen_semicolon_ = true;
    ++p_;
  }
}

}  // namespace

const char* handle_group(const char* p) {
  GroupReader reader(p);
  return reader.run();
}

}  // namespace vorn
