// The switch atoms derived from the built-in specs at build time against
// the scan the driver runs on texts read at run time: both must validate
// exactly the same switches, whatever specs files changed.
#include "specs/builtin_switch_atoms.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "spec_test_support.h"
#include "specs/builtin_specs.h"
#include "specs/compilers_table.h"
#include "specs/named_specs.h"
#include "specs/run_specs.h"
#include "specs/spec_groups.h"
#include "specs/specs_file.h"
#include "specs/switch_atom_scan.h"

namespace vorn::testing {
namespace {

using AtomList = std::vector<std::pair<std::string, bool>>;

AtomList scanned_atoms(const char* text) {
  AtomList atoms;
  auto sink = [&](std::string_view name, bool starred) { atoms.emplace_back(name, starred); };
  SwitchAtomScanner<decltype(sink)> scanner(sink);
  if (text != nullptr) scanner.scan_spec(text);
  return atoms;
}

AtomList packed_atoms(const SwitchAtomRange& range) {
  AtomList atoms;
  for (std::size_t i = range.first; i < range.first + range.count; ++i) {
    atoms.emplace_back(std::string(switch_atom_name(kBuiltinSwitchAtoms[i])),
                       kBuiltinSwitchAtoms[i].starred);
  }
  return atoms;
}

struct Switch {
  const char* text;
  bool known;
};

// Switches the built-in specs name exactly, by prefix or not at all, known
// to the option machinery or not.
const std::vector<std::vector<Switch>> kSwitchTables = {
    {},
    {{"-c", true}},
    {{"-c", true}, {"-o", true}, {"-E", false}, {"-fbogus", true}, {"-Wall", false}},
    {{"-save-temps=obj", true},
     {"-static-pie", true},
     {"-shared-libvorn", true},
     {"-mcpu=cortex-a53", true},
     {"-march=armv8-a", false},
     {"-mabi=lp64", true}},
    {{"-DNAME=1", true},
     {"-UNAME", true},
     {"-Ifoo", true},
     {"-L/lib", true},
     {"-T", true},
     {"-fsanitize=address", true},
     {"-static-libasan", true},
     {"-flto=auto", true},
     {"-fuse-ld=bfd", true},
     {"-gz=zstd", true},
     {"-Wl,-x", true},
     {"-Xlinker", true}},
    {{"-", true},
     {"-x", true},
     {"-zzz", true},
     {"-nostdlib", false},
     {"-nostdlib", true},
     {"-dumpdir", true},
     {"-fdump-final-insns", true},
     {"-fcompare-debug-second", true}},
};

class BuiltinSwitchAtomsTest : public SpecTest {
 protected:
  void SetUp() override {
    SpecTest::SetUp();
    install_default_specs(false);
  }

  // The built-in texts again, the list not yet linked, as a run starts.
  static void forget_named_specs() { run_specs().named_specs.reset(); }

  // The validated flag of every switch of TABLE after validating all specs.
  static std::vector<bool> validated(const std::vector<Switch>& table, bool use_builtin_atoms) {
    command_line().switches = SwitchTable{};
    for (const Switch& sw : table)
      command_line().switches.record(sw.text, 0, nullptr, false, sw.known);
    validate_switches_in_all_specs(use_builtin_atoms);
    std::vector<bool> flags;
    for (const CommandSwitch& sw : command_line().switches) flags.push_back(sw.validated);
    return flags;
  }

  // Both paths validate the same switches of every table.
  static void expect_same_validation(const char* state) {
    for (std::size_t t = 0; t < kSwitchTables.size(); ++t) {
      EXPECT_EQ(validated(kSwitchTables[t], true), validated(kSwitchTables[t], false))
          << state << ", switch table " << t;
    }
  }
};

TEST_F(BuiltinSwitchAtomsTest, EveryBuiltinTextHasTheAtomsItsScanFinds) {
  for (std::size_t i = 0; i < kBuiltinCompilerCount; ++i) {
    const CompilerEntry& entry = kBuiltinCompilers[i];
    EXPECT_EQ(packed_atoms(kBuiltinCompilerAtoms[2 * i]), scanned_atoms(entry.spec))
        << entry.suffix;
    EXPECT_EQ(packed_atoms(kBuiltinCompilerAtoms[2 * i + 1]), scanned_atoms(entry.cpp_spec))
        << entry.suffix;
  }
  for (int i = 0; i < kStaticSpecCount; ++i) {
    EXPECT_EQ(packed_atoms(kBuiltinNamedSpecAtoms[i]), scanned_atoms(kBuiltinSpecTexts[i].text))
        << kBuiltinSpecTexts[i].name;
  }
  // Installed, with "link" and "libvorn" rewritten: the atoms in use.
  for (NamedSpec* spec = first_named_spec(); spec != nullptr; spec = spec->next) {
    const SwitchAtomRange* atoms = builtin_switch_atoms(*spec);
    ASSERT_NE(atoms, nullptr) << spec->name;
    EXPECT_EQ(packed_atoms(*atoms), scanned_atoms(spec->text())) << spec->name;
  }
  ASSERT_NE(builtin_link_command_atoms(), nullptr);
  EXPECT_EQ(packed_atoms(*builtin_link_command_atoms()), scanned_atoms(link_command_spec()));
  EXPECT_FALSE(packed_atoms(kInstalledLinkAtoms).empty());
}

TEST_F(BuiltinSwitchAtomsTest, InstalledBuiltinSpecsValidateAsTheScanDoes) {
  expect_same_validation("built-in specs");
  // Before installation the list may exist with the raw "link" text.
  forget_named_specs();
  define_spec("extra", "%{zzz}", false);
  expect_same_validation("list linked by define_spec");
  // Linked for -dumpspecs: every text built-in, "link" still raw.
  forget_named_specs();
  std::FILE* sink = std::fopen("/dev/null", "w");
  dump_specs(sink);
  std::fclose(sink);
  expect_same_validation("list linked for -dumpspecs");
  // Not linked at all.
  forget_named_specs();
  expect_same_validation("no list");
}

TEST_F(BuiltinSwitchAtomsTest, ChangedSpecsAreScannedAgain) {
  // A user specs file accepts unknown switches; its texts are no longer
  // the built-in ones.
  load_specs_text("user.specs", "*cpp:\n+ %{Wall} %{fbogus*}\n\n", false, true, false);
  expect_same_validation("appended by a user specs file");
  EXPECT_EQ(builtin_switch_atoms(*find_named_spec("cpp")), nullptr);
  load_specs_text("rename.specs", "%rename link old_link\n*link:\n%(old_link) %{zzz}\n\n", false,
                  false, false);
  expect_same_validation("renamed");
  load_specs_text("compilers.specs", ".zz:\n%{x}\n\n*link_command:\n%{nostdlib:x}\n\n", false,
                  false, false);
  EXPECT_EQ(builtin_link_command_atoms(), nullptr);
  expect_same_validation("compiler entry and link command added");
}

TEST_F(BuiltinSwitchAtomsTest, AChangedLinkCommandAloneIsScannedAgain) {
  load_specs_text("link.specs", "*link_command:\n%{nostdlib:x} %{zzz}\n\n", false, false, false);
  EXPECT_EQ(builtin_link_command_atoms(), nullptr);
  expect_same_validation("only the link command changed");
}

TEST_F(BuiltinSwitchAtomsTest, AUserFlagOnABuiltinNameCountsForItsAtoms) {
  load_specs_text("user.specs", "*asm:\n%{march=*} %{E}\n\n", false, true, false);
  std::vector<bool> with_atoms = validated(kSwitchTables[3], true);
  EXPECT_EQ(with_atoms, validated(kSwitchTables[3], false));
  // -march=armv8-a is unknown: only a user spec validates it.
  EXPECT_TRUE(with_atoms[4]);
}

}  // namespace
}  // namespace vorn::testing
