// The constant texts behind the named specs: the built-in defaults, the
// link command spec and the preprocessor spec shared with the compilers
// table.
#ifndef VORN_SPECS_BUILTIN_SPECS_H
#define VORN_SPECS_BUILTIN_SPECS_H

#include <cstddef>
#include <string>

#include "specs/named_specs.h"
#include "support/text_pool.h"

namespace vorn {

struct BuiltinSpecText {
  const char* name;
  const char* text;
};

// In list order, indexed by SpecId; configured values are filled in.  The
// texts live in one constant block: a text read twice is the same pointer.
BuiltinSpecText builtin_spec_text_at(std::size_t index);
inline constexpr TableView<builtin_spec_text_at, kStaticSpecCount> kBuiltinSpecTexts{};

extern const char kLinkCommandSpecText[];

// What installing the built-in specs makes of them: words of TEXT that name
// the runtime library become the sequence that links it statically or as
// needed, depending on the switches ("libvorn"); the frame-header prefix
// goes in front of "link".
std::string rewrite_libvorn(const char* text);
extern const char kLinkFrameHeaderPrefix[];

}  // namespace vorn

#endif  // VORN_SPECS_BUILTIN_SPECS_H
