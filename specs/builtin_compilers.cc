// The built-in compilers table: the specs that preprocess, compile and
// assemble each kind of input.  Runs of blanks in these texts are
// interchangeable; "\n" ends a command.
#include "specs/builtin_specs.h"
#include "specs/compilers_table.h"

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

}  // namespace

const CompilerEntry kBuiltinCompilers[kBuiltinCompilerCount] = {
    {".m", "#Objective-C", nullptr, 0, 0},
    {".mi", "#Objective-C", nullptr, 0, 0},
    {".mm", "#Objective-C++", nullptr, 0, 0},
    {".M", "#Objective-C++", nullptr, 0, 0},
    {".mii", "#Objective-C++", nullptr, 0, 0},
    {".cc", "#C++", nullptr, 0, 0},
    {".cxx", "#C++", nullptr, 0, 0},
    {".cpp", "#C++", nullptr, 0, 0},
    {".cp", "#C++", nullptr, 0, 0},
    {".c++", "#C++", nullptr, 0, 0},
    {".C", "#C++", nullptr, 0, 0},
    {".CPP", "#C++", nullptr, 0, 0},
    {".ii", "#C++", nullptr, 0, 0},
    {".ads", "#Ada", nullptr, 0, 0},
    {".adb", "#Ada", nullptr, 0, 0},
    {".f", "#Fortran", nullptr, 0, 0},
    {".F", "#Fortran", nullptr, 0, 0},
    {".for", "#Fortran", nullptr, 0, 0},
    {".FOR", "#Fortran", nullptr, 0, 0},
    {".ftn", "#Fortran", nullptr, 0, 0},
    {".FTN", "#Fortran", nullptr, 0, 0},
    {".fpp", "#Fortran", nullptr, 0, 0},
    {".FPP", "#Fortran", nullptr, 0, 0},
    {".f90", "#Fortran", nullptr, 0, 0},
    {".F90", "#Fortran", nullptr, 0, 0},
    {".f95", "#Fortran", nullptr, 0, 0},
    {".F95", "#Fortran", nullptr, 0, 0},
    {".f03", "#Fortran", nullptr, 0, 0},
    {".F03", "#Fortran", nullptr, 0, 0},
    {".f08", "#Fortran", nullptr, 0, 0},
    {".F08", "#Fortran", nullptr, 0, 0},
    {".r", "#Ratfor", nullptr, 0, 0},
    {".go", "#Go", nullptr, 1, 0},
    {".d", "#D", nullptr, 1, 0},
    {".dd", "#D", nullptr, 1, 0},
    {".di", "#D", nullptr, 1, 0},
    {".mod", "#Modula-2", nullptr, 0, 0},
    {".m2i", "#Modula-2", nullptr, 0, 0},
    {".c", "@c", nullptr, 0, 1},
    {"@c", kCSpec, nullptr, 0, 1},
    {"-", kStdinSpec, nullptr, 0, 0},
    {".h", "@c-header", nullptr, 0, 0},
    {"@c-header", kCHeaderSpec, nullptr, 0, 0},
    {".i", "@cpp-output", nullptr, 0, 0},
    {"@cpp-output", kCppOutputSpec, nullptr, 0, 0},
    {".s", "@assembler", nullptr, 0, 0},
    {"@assembler", kAssemblerSpec, nullptr, 0, 0},
    {".sx", "@assembler-with-cpp", nullptr, 0, 0},
    {".S", "@assembler-with-cpp", nullptr, 0, 0},
    {"@assembler-with-cpp", kAssemblerCppSpec, nullptr, 0, 0},
    {".ads", "@ada", nullptr, 0, 0},
    {".adb", "@ada", nullptr, 0, 0},
    {"@ada", kAdaSpec, nullptr, 0, 0},
    {"@adawhy", kAdaWhySpec, nullptr, 0, 0},
    {"@adascil", kAdaScilSpec, nullptr, 0, 0},
    {".cc", "@c++", nullptr, 0, 0},
    {".cp", "@c++", nullptr, 0, 0},
    {".cxx", "@c++", nullptr, 0, 0},
    {".cpp", "@c++", nullptr, 0, 0},
    {".c++", "@c++", nullptr, 0, 0},
    {".C", "@c++", nullptr, 0, 0},
    {".CPP", "@c++", nullptr, 0, 0},
    {".H", "@c++-header", nullptr, 0, 0},
    {".hpp", "@c++-header", nullptr, 0, 0},
    {".hp", "@c++-header", nullptr, 0, 0},
    {".hxx", "@c++-header", nullptr, 0, 0},
    {".h++", "@c++-header", nullptr, 0, 0},
    {".HPP", "@c++-header", nullptr, 0, 0},
    {".tcc", "@c++-header", nullptr, 0, 0},
    {".hh", "@c++-header", nullptr, 0, 0},
    {"@c++-header", kCxxHeaderSpec, kCppSpecText, 0, 0},
    {"@c++-system-header", kCxxSystemHeaderSpec, kCppSpecText, 0, 0},
    {"@c++-user-header", kCxxUserHeaderSpec, kCppSpecText, 0, 0},
    {"@c++", kCxxSpec, kCppSpecText, 0, 0},
    {".ii", "@c++-cpp-output", nullptr, 0, 0},
    {"@c++-cpp-output", kCxxCppOutputSpec, nullptr, 0, 0},
    {"@lto", kLtoSpec, nullptr, 1, 0},
};

}  // namespace vorn
