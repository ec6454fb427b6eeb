// The constant texts behind the named specs: the built-in defaults, the
// link command spec and the preprocessor spec shared with the compilers
// table.
#ifndef VORN_SPECS_BUILTIN_SPECS_H
#define VORN_SPECS_BUILTIN_SPECS_H

#include <string>

#include "specs/named_specs.h"

namespace vorn {

struct BuiltinSpecText {
  const char* name;
  const char* text;
};

// In list order, indexed by SpecId; configured values are filled in.
extern const BuiltinSpecText kBuiltinSpecTexts[kStaticSpecCount];

extern const char kCppSpecText[];
extern const char kAsmCpuSpecText[];
extern const char kLinkCommandSpecText[];

// What installing the built-in specs makes of them: words of TEXT that name
// the runtime library become the sequence that links it statically or as
// needed, depending on the switches ("libvorn"); the frame-header prefix
// goes in front of "link".
std::string rewrite_libvorn(const char* text);
extern const char kLinkFrameHeaderPrefix[];

}  // namespace vorn

#endif  // VORN_SPECS_BUILTIN_SPECS_H
