// The constant texts behind the named specs: the built-in defaults, the
// link command spec and the preprocessor spec shared with the compilers
// table.
#ifndef VORN_SPECS_BUILTIN_SPECS_H
#define VORN_SPECS_BUILTIN_SPECS_H

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

}  // namespace vorn

#endif  // VORN_SPECS_BUILTIN_SPECS_H
