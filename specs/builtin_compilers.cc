// The built-in compilers table: the specs that preprocess, compile and
// assemble each kind of input.  Runs of blanks in these texts are
// interchangeable; "\n" ends a command.
#include <array>
#include <cstdint>
#include <string_view>

#include "specs/builtin_specs.h"
#include "specs/compilers_table.h"
#include "support/text_pool.h"

namespace vorn {
namespace {

constexpr char kCSpec[] =
    "%{E|M|MM:%(trad_capable_cpp) %(cpp_options) %(cpp_debug_options)} %{!E:%{!M:%{!MM: "
    "%{traditional:%eMOX C no longer supports -traditional without -E} "
    "%{save-temps*|traditional-cpp|no-integrated-cpp:%(trad_capable_cpp) %(cpp_options) -o "
    "%{save-temps*:%b.i} %{!save-temps*:%g.i} \n cfe1 -fpreprocessed %{save-temps*:%b.i} "
    "%{!save-temps*:%g.i} %(cfe1_options)} "
    "%{!save-temps*:%{!traditional-cpp:%{!no-integrated-cpp: cfe1 %(cpp_unique_options) "
    "%(cfe1_options)}}} %{!fsyntax-only:%(invoke_as)}}}}";

constexpr char kStdinSpec[] =
    "%{!E:%e-E or -x required when input is from standard input} %(trad_capable_cpp) "
    "%(cpp_options) %(cpp_debug_options)";

constexpr char kCHeaderSpec[] =
    "%{E|M|MM:%(trad_capable_cpp) %(cpp_options) %(cpp_debug_options)} %{!E:%{!M:%{!MM: "
    "%{save-temps*|traditional-cpp|no-integrated-cpp:%(trad_capable_cpp) %(cpp_options) -o "
    "%{save-temps*:%b.i} %{!save-temps*:%g.i} \n cfe1 -fpreprocessed %{save-temps*:%b.i} "
    "%{!save-temps*:%g.i} %(cfe1_options) %{!fsyntax-only:%{!S:-o %g.s} "
    "%{!fdump-ada-spec*:%{!o*:--output-pch %i.gch} %W{o*:--output-pch %*}}%V}} "
    "%{!save-temps*:%{!traditional-cpp:%{!no-integrated-cpp: cfe1 %(cpp_unique_options) "
    "%(cfe1_options) %{!fsyntax-only:%{!S:-o %g.s} %{!fdump-ada-spec*:%{!o*:--output-pch "
    "%i.gch} %W{o*:--output-pch %*}}%V}}}}}}}";

constexpr char kAssemblerCppSpec[] =
    "%(trad_capable_cpp) -lang-asm %(cpp_options) -fno-directives-only "
    "%{E|M|MM:%(cpp_debug_options)} %{!M:%{!MM:%{!E:%{!S:-o %|.s |\n as %(asm_debug) "
    "%(asm_options) %m.s %A }}}}";

constexpr char kAdaSpec[] =
    "%{pg:%{fomit-frame-pointer:%e-pg and -fomit-frame-pointer are incompatible}} "
    "%{!S:%{!c:%e-c or -S required for Ada}} kelp1 %{I*} %{k8:-kelpk8} %{!Q:-quiet} "
    "%{nostdinc*} %{nostdlib*} %{fcompare-debug-second:-kelpd_A} %{O*} %{W*} %{w} %{p} "
    "%{pg:-p} %<dumpdir %<dumpbase %<dumpbase-ext %{d*} %:dumps(%{!.adb:%{!.ads:.ada}}) "
    "%{coverage:-fprofile-arcs -ftest-coverage} %{Wall:-kelpwa} %{Werror:-kelpwe} "
    "%{w:-kelpws} %{kelpea:-kelpez} %{g*&m*&f*} %1 %{!S:%{o*:%w%*-kelpO}} %i "
    "%{S:%W{o*}%{!o*:-o %w%b.s}} %{kelpc*|kelps*: -o %j} %{-param*} "
    "%{!kelpc*:%{!kelps*:%(invoke_as)}}";

constexpr char kAdaWhySpec[] =
    "%{!c:%e-c required for kelp2why} kelp1why %{I*} %{k8:-kelpk8} %{!Q:-quiet} "
    "%{nostdinc*} %{nostdlib*} %{a} %<dumpdir %<dumpbase %<dumpbase-ext %{d*} "
    "%:dumps(%{!.adb:%{!.ads:.ada}}) %{kelpea:-kelpez} %{g*&m*&f*} %1 %{o*:%w%*-kelpO} %i "
    "%{kelpc*|kelps*: -o %j} %{-param*}";

constexpr char kAdaScilSpec[] =
    "%{!c:%e-c required for kelp2scil} kelp1scil %{I*} %{k8:-kelpk8} %{!Q:-quiet} "
    "%{nostdinc*} %{nostdlib*} %{a} %<dumpdir %<dumpbase %<dumpbase-ext %{d*} "
    "%:dumps(%{!.adb:%{!.ads:.ada}}) %{kelpea:-kelpez} %{g*&m*&f*} %1 %{o*:%w%*-kelpO} %i "
    "%{kelpc*|kelps*: -o %j} %{-param*}";

constexpr char kCxxHeaderSpec[] =
    "%{E|M|MM:cxxfe1 -E %{fmodules-ts:-fdirectives-only -fmodule-header} %(cpp_options) %2 "
    "%(cpp_debug_options)}%{!E:%{!M:%{!MM: %{save-temps*|no-integrated-cpp:cxxfe1 -E "
    "%{fmodules-ts:-fdirectives-only -fmodule-header} %(cpp_options) %2 -o "
    "%{save-temps*:%b.ii} %{!save-temps*:%g.ii} \n} cxxfe1 "
    "%{save-temps*|no-integrated-cpp:-fpreprocessed %{fmodules-ts:-fdirectives-only} "
    "%{save-temps*:%b.ii} %{!save-temps*:%g.ii}} "
    "%{!save-temps*:%{!no-integrated-cpp:%(cpp_unique_options)}} "
    "%{fmodules-ts:-fmodule-header %{fpreprocessed:-fdirectives-only}} %(cfe1_options) %2 "
    "%{!fsyntax-only: %{!S:-o %g.s%V} %{!fmodule-*:%{!fmodules-*:%{!fdump-ada-spec*: "
    "%{!o*:--output-pch %i.gch}%W{o*:--output-pch %*}}}}}}}}";

constexpr char kCxxSystemHeaderSpec[] =
    "%{E|M|MM:cxxfe1 -E %{fmodules-ts:-fdirectives-only -fmodule-header=system} "
    "%(cpp_options) %2 %(cpp_debug_options)}%{!E:%{!M:%{!MM: "
    "%{save-temps*|no-integrated-cpp:cxxfe1 -E %{fmodules-ts:-fdirectives-only "
    "-fmodule-header=system} %(cpp_options) %2 -o %{save-temps*:%b.ii} "
    "%{!save-temps*:%g.ii} \n} cxxfe1 %{save-temps*|no-integrated-cpp:-fpreprocessed "
    "%{fmodules-ts:-fdirectives-only} %{save-temps*:%b.ii} %{!save-temps*:%g.ii}} "
    "%{!save-temps*:%{!no-integrated-cpp:%(cpp_unique_options)}} "
    "%{fmodules-ts:-fmodule-header=system %{fpreprocessed:-fdirectives-only}} "
    "%(cfe1_options) %2 %{!fsyntax-only: %{!S:-o %g.s%V} "
    "%{!fmodule-*:%{!fmodules-*:%{!fdump-ada-spec*: %{!o*:--output-pch "
    "%i.gch}%W{o*:--output-pch %*}}}}}}}}";

constexpr char kCxxUserHeaderSpec[] =
    "%{E|M|MM:cxxfe1 -E %{fmodules-ts:-fdirectives-only -fmodule-header=user} "
    "%(cpp_options) %2 %(cpp_debug_options)}%{!E:%{!M:%{!MM: "
    "%{save-temps*|no-integrated-cpp:cxxfe1 -E %{fmodules-ts:-fdirectives-only "
    "-fmodule-header=user} %(cpp_options) %2 -o %{save-temps*:%b.ii} %{!save-temps*:%g.ii} "
    "\n} cxxfe1 %{save-temps*|no-integrated-cpp:-fpreprocessed "
    "%{fmodules-ts:-fdirectives-only} %{save-temps*:%b.ii} %{!save-temps*:%g.ii}} "
    "%{!save-temps*:%{!no-integrated-cpp:%(cpp_unique_options)}} "
    "%{fmodules-ts:-fmodule-header=user %{fpreprocessed:-fdirectives-only}} "
    "%(cfe1_options) %2 %{!fsyntax-only: %{!S:-o %g.s%V} "
    "%{!fmodule-*:%{!fmodules-*:%{!fdump-ada-spec*: %{!o*:--output-pch "
    "%i.gch}%W{o*:--output-pch %*}}}}}}}}";

constexpr char kCxxSpec[] =
    "%{E|M|MM:cxxfe1 -E %(cpp_options) %2 %(cpp_debug_options)}%{!E:%{!M:%{!MM: "
    "%{save-temps*|no-integrated-cpp:cxxfe1 -E %(cpp_options) %2 -o %{save-temps*:%b.ii} "
    "%{!save-temps*:%g.ii} \n} cxxfe1 %{save-temps*|no-integrated-cpp:-fpreprocessed "
    "%{save-temps*:%b.ii} %{!save-temps*:%g.ii}} "
    "%{!save-temps*:%{!no-integrated-cpp:%(cpp_unique_options)}} %(cfe1_options) %2 "
    "%{!fsyntax-only: %{fmodule-only:%{!S:-o %g.s%V}} %{!fmodule-only:%(invoke_as)}}}}}";

constexpr char kCxxCppOutputSpec[] =
    "%{!E:%{!M:%{!MM: cxxfe1 -fpreprocessed %i %(cfe1_options) %2 %{!fsyntax-only: "
    "%{fmodule-only:%{!S:-o %g.s%V}} %{!fmodule-only:%{!fmodule-header*:%(invoke_as)}}}}}}";

constexpr char kCppOutputSpec[] =
    "%{!M:%{!MM:%{!E:cfe1 -fpreprocessed %i %(cfe1_options) %{!fsyntax-only:%(invoke_as)}}}}";

constexpr char kAssemblerSpec[] = "%{!M:%{!MM:%{!E:%{!S:as %(asm_debug) %(asm_options) %i %A }}}}";

constexpr char kLtoSpec[] = "ltofe1 %(cfe1_options) %i %{!fsyntax-only:%(invoke_as)}";

struct CompilerSource {
  std::string_view suffix;
  std::string_view spec;
  // Whether the named spec "cpp" is the entry's preprocessor spec.
  bool cpp_spec;
  int combinable;
  int needs_preprocessing;
};

consteval std::array<CompilerSource, kBuiltinCompilerCount> compiler_sources() {
  return {{
      {".m", "#Objective-C", false, 0, 0},
      {".mi", "#Objective-C", false, 0, 0},
      {".mm", "#Objective-C++", false, 0, 0},
      {".M", "#Objective-C++", false, 0, 0},
      {".mii", "#Objective-C++", false, 0, 0},
      {".cc", "#C++", false, 0, 0},
      {".cxx", "#C++", false, 0, 0},
      {".cpp", "#C++", false, 0, 0},
      {".cp", "#C++", false, 0, 0},
      {".c++", "#C++", false, 0, 0},
      {".C", "#C++", false, 0, 0},
      {".CPP", "#C++", false, 0, 0},
      {".ii", "#C++", false, 0, 0},
      {".ads", "#Ada", false, 0, 0},
      {".adb", "#Ada", false, 0, 0},
      {".f", "#Fortran", false, 0, 0},
      {".F", "#Fortran", false, 0, 0},
      {".for", "#Fortran", false, 0, 0},
      {".FOR", "#Fortran", false, 0, 0},
      {".ftn", "#Fortran", false, 0, 0},
      {".FTN", "#Fortran", false, 0, 0},
      {".fpp", "#Fortran", false, 0, 0},
      {".FPP", "#Fortran", false, 0, 0},
      {".f90", "#Fortran", false, 0, 0},
      {".F90", "#Fortran", false, 0, 0},
      {".f95", "#Fortran", false, 0, 0},
      {".F95", "#Fortran", false, 0, 0},
      {".f03", "#Fortran", false, 0, 0},
      {".F03", "#Fortran", false, 0, 0},
      {".f08", "#Fortran", false, 0, 0},
      {".F08", "#Fortran", false, 0, 0},
      {".r", "#Ratfor", false, 0, 0},
      {".go", "#Go", false, 1, 0},
      {".d", "#D", false, 1, 0},
      {".dd", "#D", false, 1, 0},
      {".di", "#D", false, 1, 0},
      {".mod", "#Modula-2", false, 0, 0},
      {".m2i", "#Modula-2", false, 0, 0},
      {".c", "@c", false, 0, 1},
      {"@c", kCSpec, false, 0, 1},
      {"-", kStdinSpec, false, 0, 0},
      {".h", "@c-header", false, 0, 0},
      {"@c-header", kCHeaderSpec, false, 0, 0},
      {".i", "@cpp-output", false, 0, 0},
      {"@cpp-output", kCppOutputSpec, false, 0, 0},
      {".s", "@assembler", false, 0, 0},
      {"@assembler", kAssemblerSpec, false, 0, 0},
      {".sx", "@assembler-with-cpp", false, 0, 0},
      {".S", "@assembler-with-cpp", false, 0, 0},
      {"@assembler-with-cpp", kAssemblerCppSpec, false, 0, 0},
      {".ads", "@ada", false, 0, 0},
      {".adb", "@ada", false, 0, 0},
      {"@ada", kAdaSpec, false, 0, 0},
      {"@adawhy", kAdaWhySpec, false, 0, 0},
      {"@adascil", kAdaScilSpec, false, 0, 0},
      {".cc", "@c++", false, 0, 0},
      {".cp", "@c++", false, 0, 0},
      {".cxx", "@c++", false, 0, 0},
      {".cpp", "@c++", false, 0, 0},
      {".c++", "@c++", false, 0, 0},
      {".C", "@c++", false, 0, 0},
      {".CPP", "@c++", false, 0, 0},
      {".H", "@c++-header", false, 0, 0},
      {".hpp", "@c++-header", false, 0, 0},
      {".hp", "@c++-header", false, 0, 0},
      {".hxx", "@c++-header", false, 0, 0},
      {".h++", "@c++-header", false, 0, 0},
      {".HPP", "@c++-header", false, 0, 0},
      {".tcc", "@c++-header", false, 0, 0},
      {".hh", "@c++-header", false, 0, 0},
      {"@c++-header", kCxxHeaderSpec, true, 0, 0},
      {"@c++-system-header", kCxxSystemHeaderSpec, true, 0, 0},
      {"@c++-user-header", kCxxUserHeaderSpec, true, 0, 0},
      {"@c++", kCxxSpec, true, 0, 0},
      {".ii", "@c++-cpp-output", false, 0, 0},
      {"@c++-cpp-output", kCxxCppOutputSpec, false, 0, 0},
      {"@lto", kLtoSpec, false, 1, 0},
  }};
}

// The suffixes, then the specs.
constexpr auto kPool = make_text_pool<std::uint16_t>([] {
  std::array<std::string_view, 2 * kBuiltinCompilerCount> texts{};
  constexpr auto sources = compiler_sources();
  for (std::size_t i = 0; i < kBuiltinCompilerCount; ++i) {
    texts[i] = sources[i].suffix;
    texts[kBuiltinCompilerCount + i] = sources[i].spec;
  }
  return texts;
});

struct CompilerFlags {
  bool cpp_spec;
  std::uint8_t combinable;
  std::uint8_t needs_preprocessing;
};

constexpr auto kFlags = [] {
  std::array<CompilerFlags, kBuiltinCompilerCount> flags{};
  constexpr auto sources = compiler_sources();
  for (std::size_t i = 0; i < kBuiltinCompilerCount; ++i) {
    flags[i] = {sources[i].cpp_spec, static_cast<std::uint8_t>(sources[i].combinable),
                static_cast<std::uint8_t>(sources[i].needs_preprocessing)};
  }
  return flags;
}();

// The entries, built on first use: the preprocessor spec is another
// table's text.
std::array<CompilerEntry, kBuiltinCompilerCount> g_entries;
bool g_built = false;

[[gnu::noinline]] void build_entries() {
  const char* cpp = kBuiltinSpecTexts[static_cast<std::size_t>(SpecId::kCpp)].text;
  for (std::size_t i = 0; i < kBuiltinCompilerCount; ++i) {
    const CompilerFlags& flags = kFlags[i];
    g_entries[i] = {kPool.text(i), kPool.text(kBuiltinCompilerCount + i),
                    flags.cpp_spec ? cpp : nullptr, flags.combinable, flags.needs_preprocessing};
  }
  g_built = true;
}

}  // namespace

const CompilerEntry* builtin_compiler_entries() {
  if (!g_built) build_entries();
  return g_entries.data();
}

}  // namespace vorn
