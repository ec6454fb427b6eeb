// The texts of --help, --version and the -v configuration report.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "config.h"
#include "diagnostics/intl.h"
#include "driver/queries.h"
#include "specs/named_specs.h"

namespace vorn {
namespace {

// Two blanks, then the option padded to 24 columns and one blank: the
// description starts at column 27.  Options too long for that (and the
// --help= row, whose description is on the next line) are noted in the
// row itself.
constexpr int kOptionWidth = 24;
constexpr char kContinuation[] = "                           ";  // 27 blanks

// The rows of the usage table: each an option and its description, every
// text ended by a null character, all in one block of constant data.  A
// "\n" in a description starts a continuation line aligned under the
// description column.
constexpr char kRowsBeforeHint[] =
    "-pass-exit-codes\0" N_("Exit with highest error code from a phase.") "\0"
    "--help\0" N_("Display this information.") "\0"
    "--target-help\0"
    N_("Display target specific command line options (including assembler and linker "
       "options).") "\0";

constexpr char kHelpEqualsOption[] =
    "--help={common|optimizers|params|target|warnings|[^]{joined|separate|undocumented}}[,...].";

constexpr char kRowsAfterHint[] =
    "--version\0" N_("Display compiler version information.") "\0"
    "-dumpspecs\0" N_("Display all of the built in spec strings.") "\0"
    "-dumpversion\0" N_("Display the version of the compiler.") "\0"
    "-dumpmachine\0" N_("Display the compiler's target processor.") "\0"
    "-foffload=<targets>\0" N_("Specify offloading targets.") "\0"
    "-print-search-dirs\0" N_("Display the directories in the compiler's search path.") "\0"
    "-print-libvorn-file-name\0" N_("Display the name of the compiler's companion library.") "\0"
    "-print-file-name=<lib>\0" N_("Display the full path to library <lib>.") "\0"
    "-print-prog-name=<prog>\0" N_("Display the full path to compiler component <prog>.") "\0"
    "-print-multiarch\0"
    N_("Display the target's normalized MOX triplet, used as\na component in the library "
       "path.") "\0"
    "-print-multi-directory\0" N_("Display the root directory for versions of libvorn.") "\0"
    "-print-multi-lib\0"
    N_("Display the mapping between command line options and\nmultiple library search "
       "directories.") "\0"
    "-print-multi-os-directory\0" N_("Display the relative path to OS libraries.") "\0"
    "-print-sysroot\0" N_("Display the target libraries directory.") "\0"
    "-print-sysroot-headers-suffix\0" N_("Display the sysroot suffix used to find headers.") "\0"
    "-Wa,<options>\0" N_("Pass comma-separated <options> on to the assembler.") "\0"
    "-Wp,<options>\0" N_("Pass comma-separated <options> on to the preprocessor.") "\0"
    "-Wl,<options>\0" N_("Pass comma-separated <options> on to the linker.") "\0"
    "-Xassembler <arg>\0" N_("Pass <arg> on to the assembler.") "\0"
    "-Xpreprocessor <arg>\0" N_("Pass <arg> on to the preprocessor.") "\0"
    "-Xlinker <arg>\0" N_("Pass <arg> on to the linker.") "\0"
    "-save-temps\0" N_("Do not delete intermediate files.") "\0"
    "-save-temps=<arg>\0" N_("Do not delete intermediate files.") "\0"
    "-no-canonical-prefixes\0"
    N_("Do not canonicalize paths when building relative\nprefixes to other vorn components.") "\0"
    "-pipe\0" N_("Use pipes rather than intermediate files.") "\0"
    "-time\0" N_("Time the execution of each subprocess.") "\0"
    "-specs=<file>\0" N_("Override built-in specs with the contents of <file>.") "\0"
    "-std=<standard>\0" N_("Assume that the input sources are for <standard>.") "\0"
    "--sysroot=<directory>\0"
    N_("Use <directory> as the root directory for headers\nand libraries.") "\0"
    "-B <directory>\0" N_("Add <directory> to the compiler's search paths.") "\0"
    "-v\0" N_("Display the programs invoked by the compiler.") "\0"
    "-###\0" N_("Like -v but options quoted and commands not executed.") "\0"
    "-E\0" N_("Preprocess only; do not compile, assemble or link.") "\0"
    "-S\0" N_("Compile only; do not assemble or link.") "\0"
    "-c\0" N_("Compile and assemble, but do not link.") "\0"
    "-o <file>\0" N_("Place the output into <file>.") "\0"
    "-pie\0" N_("Create a dynamically linked position independent\nexecutable.") "\0"
    "-shared\0" N_("Create a shared library.") "\0"
    "-x <language>\0"
    N_("Specify the language of the following input files.\nPermissible languages include: c "
       "c++ assembler none\n'none' means revert to the default behavior of\nguessing the "
       "language based on the file's extension.") "\0";

// Writes DESCRIPTION from the current column on, each continuation line
// indented to the description column.
void print_description(std::FILE* stream, const char* description) {
  for (const char* p = description;;) {
    const char* end = std::strchr(p, '\n');
    if (end == nullptr) {
      std::fprintf(stream, "%s\n", p);
      return;
    }
    std::fprintf(stream, "%.*s\n%s", static_cast<int>(end - p), p, kContinuation);
    p = end + 1;
  }
}

template <std::size_t Size>
void print_rows(std::FILE* stream, const char (&rows)[Size]) {
  // The block ends with the null character of its last literal.
  for (const char* p = rows; p < rows + Size - 1;) {
    const char* option = p;
    const char* description = option + std::strlen(option) + 1;
    std::fprintf(stream, "  %-*s ", kOptionWidth, option);
    print_description(stream, _(description));
    p = description + std::strlen(description) + 1;
  }
}

}  // namespace

void print_usage(std::FILE* stream, const char* program, bool verbose) {
  std::fprintf(stream, _("Usage: %s [options] file...\n"), program);
  std::fputs(_("Options:\n"), stream);
  print_rows(stream, kRowsBeforeHint);
  std::fprintf(stream, "  %s\n%s", kHelpEqualsOption, kContinuation);
  print_description(stream, _("Display specific types of command line options."));
  if (!verbose) {
    std::fputs(_("  (Use '-v --help' to display command line options of sub-processes).\n"),
               stream);
  }
  print_rows(stream, kRowsAfterHint);
  std::fprintf(stream,
               _("\nOptions starting with -g, -f, -m, -O, -W, or --param are automatically\n"
                 " passed on to the various sub-processes invoked by %s.  In order to pass\n"
                 " other options on to these processes the -W<letter> options must be used.\n"),
               program);
}

void print_version_banner(std::FILE* stream, const char* program) {
  std::fprintf(stream, "%s %s%s\n", program, config::kPackageVersion, config::kVersion);
  std::fputs(_("Copyright (C) 2026 The Vorn authors.\n"
               "License Apache-2.0: Apache License, Version 2.0\n"
               "<https://www.apache.org/licenses/LICENSE-2.0>; the file LICENSE of the\n"
               "source distribution holds its full text.  Vorn is distributed on an\n"
               "\"AS IS\" BASIS, WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either\n"
               "express or implied.\n"),
             stream);
}

void print_configuration_report(std::FILE* stream) {
  std::fprintf(stream, _("Target: %s\n"), config::kTargetMachine);
  std::fprintf(stream, _("Configured with: %s\n"), config::kConfigureLine);
  std::fprintf(stream, _("Thread model: %s\n"), config::kThreadModel);
  std::fputs(_("Supported LTO compression algorithms: zlib"), stream);
  std::fputs("\n", stream);
  // A specs file that redefines "version" makes the driver run compilers
  // of another version; the report says so.
  std::string_view configured(config::kVersion);
  std::string_view base = configured.substr(0, configured.find(' '));
  const char* compiler_version = spec_text(SpecId::kVersion);
  if (base == compiler_version) {
    std::fprintf(stream, _("vorn version %s %s\n"), config::kVersion, config::kPackageVersion);
  } else {
    std::fprintf(stream, _("vorn driver version %s %sexecuting vorn version %s\n"),
                 config::kVersion, config::kPackageVersion, compiler_version);
  }
}

}  // namespace vorn
