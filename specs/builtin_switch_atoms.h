// The switch atoms of the built-in specs, derived at build time by running
// the validation scan (specs/switch_atom_scan.h) over each built-in text:
// while a spec still has its built-in text, validating the switches it
// names needs no scan at run time.  Offsets only, no pointers, so that the
// data needs no relocation when the driver is loaded.
#ifndef VORN_SPECS_BUILTIN_SWITCH_ATOMS_H
#define VORN_SPECS_BUILTIN_SWITCH_ATOMS_H

#include <cstdint>
#include <string_view>

#include "specs/compilers_table.h"
#include "specs/named_specs.h"

namespace vorn {

struct PackedSwitchAtom {
  std::uint16_t name;  // offset in kBuiltinSwitchAtomNames
  std::uint8_t length;
  bool starred;
};

// The atoms of one text, in text order: kBuiltinSwitchAtoms[first] on.
struct SwitchAtomRange {
  std::uint16_t first;
  std::uint16_t count;
};

extern const char kBuiltinSwitchAtomNames[];
extern const PackedSwitchAtom kBuiltinSwitchAtoms[];

// Entry I of the built-in compilers table: [2 * I] for its spec, [2 * I + 1]
// for its preprocessor spec.
extern const SwitchAtomRange kBuiltinCompilerAtoms[2 * kBuiltinCompilerCount];
// The built-in named specs as listed, indexed by SpecId.
extern const SwitchAtomRange kBuiltinNamedSpecAtoms[kStaticSpecCount];
// "link" and "libvorn" as install_default_specs rewrites them.
extern const SwitchAtomRange kInstalledLinkAtoms;
extern const SwitchAtomRange kInstalledLibvornAtoms;
extern const SwitchAtomRange kBuiltinLinkCommandAtoms;
// Every atom of the installed built-in specs (the texts above, with "link"
// and "libvorn" rewritten) once, sorted by name.
extern const SwitchAtomRange kAllBuiltinSwitchAtoms;

// The atoms of SPEC's text while it is the built-in one (or its installed
// rewriting); null once a specs file, %rename or define_spec changed it.
const SwitchAtomRange* builtin_switch_atoms(const NamedSpec& spec);
// The same for the link command spec.
const SwitchAtomRange* builtin_link_command_atoms();

inline std::string_view switch_atom_name(const PackedSwitchAtom& atom) {
  return std::string_view(kBuiltinSwitchAtomNames + atom.name, atom.length);
}

}  // namespace vorn

#endif  // VORN_SPECS_BUILTIN_SWITCH_ATOMS_H
