// The scan behind switch validation: which switch names the groups of a
// spec text mention ("%{", "%<", "%W{", "%@{" and the groups nested in
// their bodies).  The driver runs it over specs read at run time; the
// build runs the very same scan over the built-in texts and keeps the
// result as constant data (specs/gen/switch_atoms_gen.cc).
#ifndef VORN_SPECS_SWITCH_ATOM_SCAN_H
#define VORN_SPECS_SWITCH_ATOM_SCAN_H

#include <cstring>
#include <string_view>

#include "support/char_class.h"

namespace vorn {

// The characters of a switch name in a group's atom, and the blanks around
// atoms: the interpreter's group reader and this scan read atoms alike.
inline constexpr AsciiClass kSwitchNameChars{"_+,-.=@"};

inline const char* skip_atom_blanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// Calls SINK(name, starred) for every atom that marks switches, in text
// order; atoms testing a suffix ("." or ",") mark nothing and are not
// reported.
template <typename Sink>
class SwitchAtomScanner {
 public:
  explicit SwitchAtomScanner(Sink& sink) : sink_(sink) {}

  // Every group of SPEC.
  void scan_spec(const char* spec) {
    const char* p = spec;
    while ((p = std::strchr(p, '%')) != nullptr) {
      ++p;
      if (*p == '{' || *p == '<') {
        bool braced = *p == '{';
        p = scan_atoms(p + 1, braced);
      } else if ((*p == 'W' || *p == '@') && p[1] == '{') {
        p = scan_atoms(p + 2, true);
      } else if (*p != '\0') {
        ++p;
      }
    }
  }

  // The atoms starting at P (just after "{" when BRACED, just after "<"
  // otherwise), recursively through group bodies.  Returns the position
  // after what was scanned.
  const char* scan_atoms(const char* p, bool braced) {
    for (;;) {
      p = skip_atom_blanks(p);
      if (*p == '!') p = skip_atom_blanks(p + 1);
      bool test_only = *p == '.' || *p == ',';
      if (test_only) ++p;
      const char* start = p;
      while (kSwitchNameChars.contains(*p)) ++p;
      std::string_view name(start, static_cast<std::size_t>(p - start));
      bool starred = *p == '*';
      if (starred) ++p;
      if (!test_only) sink_(name, starred);
      if (!braced) return p;
      p = skip_atom_blanks(p);
      if (*p == '&' || *p == '|') {
        ++p;
        continue;
      }
      if (*p == ':') p = scan_body(p + 1);
      if (*p == ';') {
        ++p;
        continue;
      }
      if (*p == '}') ++p;
      return p;
    }
  }

 private:
  // Groups nested deeper than this cannot be expanded anyway (the
  // interpreter stops far earlier); their switches are left unvalidated
  // rather than risking the stack on hostile specs files.
  static constexpr int kMaxDepth = 1000;

  const char* scan_nested(const char* p, bool braced) {
    if (depth_ >= kMaxDepth) return p;
    ++depth_;
    p = scan_atoms(p, braced);
    --depth_;
    return p;
  }

  // A group body, up to the ";" or "}" that ends it.
  const char* scan_body(const char* p) {
    while (*p != '\0' && *p != ';' && *p != '}') {
      if (*p != '%') {
        ++p;
        continue;
      }
      ++p;
      if (*p == '{' || *p == '<') {
        bool braced = *p == '{';
        p = scan_nested(p + 1, braced);
      } else if ((*p == 'W' || *p == '@') && p[1] == '{') {
        p = scan_nested(p + 2, true);
      } else if (*p != '\0') {
        ++p;
      }
    }
    return p;
  }

  Sink& sink_;
  int depth_ = 0;
};

}  // namespace vorn

#endif  // VORN_SPECS_SWITCH_ATOM_SCAN_H
