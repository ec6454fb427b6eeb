// Arbitrary text through the specs-file reader, against a fresh set of
// built-in specs and compilers table each time.  A text holding a NUL byte
// must be refused.  Every tenth text is also read from a real file under a
// low size bound, which must refuse exactly the texts beyond it.
//
// A malformed file ends the driver with a fatal error; here the diagnostic
// hook turns that into an exception so that the run goes on with the next
// input.  Texts that mention "/" are skipped: they could make "%include"
// read any file of the machine (a device that never ends, say), which tells
// nothing about the reader.  After each text every spec and compiler entry
// must still be a readable string.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "diagnostics/diagnostic.h"
#include "diagnostics/run_diagnostics.h"
#include "specs/compilers_table.h"
#include "specs/named_specs.h"
#include "specs/run_specs.h"
#include "specs/specs_file.h"
#include "support/whole_file.h"

namespace {

struct FatalReported {};

void finish_and_escape_fatal(vorn::DiagnosticContext& context, vorn::DiagnosticRecord& record) {
  vorn::text_finalizer(context, record);
  if (record.kind == vorn::DiagnosticKind::kFatal) throw FatalReported{};
}

void fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

void check_state() {
  std::size_t total = 0;
  for (vorn::NamedSpec* spec = vorn::first_named_spec(); spec != nullptr; spec = spec->next) {
    if (spec->name == nullptr || spec->text() == nullptr) fail("spec without text");
    if (static_cast<std::size_t>(spec->name_length) != std::strlen(spec->name)) {
      fail("spec name length");
    }
    total += std::strlen(spec->text());
  }
  for (const vorn::CompilerEntry& entry : vorn::compilers_table()) {
    if (entry.suffix == nullptr || entry.spec == nullptr) fail("compiler entry without text");
    total += std::strlen(entry.suffix) + std::strlen(entry.spec);
  }
  if (vorn::link_command_spec() == nullptr) fail("link command lost");
  if (total == 0) fail("empty state");
}

constexpr std::size_t kFuzzFileLimit = 512;

void load_through_a_file(const std::string& text, bool main_file) {
  static const std::string path = "/tmp/specs-file-fuzzer-" + std::to_string(getpid());
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) fail("cannot write the file");
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  vorn::set_whole_file_limit_for_testing(kFuzzFileLimit);
  struct Unlink {
    ~Unlink() { unlink(path.c_str()); }
  } unlink_at_end;
  vorn::load_specs_file(path.c_str(), main_file, true, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The diagnostics state every input reports through.
  static vorn::BoundState<vorn::RunDiagnostics> diagnostics;
  static const bool hooked = [] {
    vorn::diagnostic_context().after_message_hook = finish_and_escape_fatal;
    return true;
  }();
  (void)hooked;
  std::string text(reinterpret_cast<const char*>(data), size);
  if (text.find('/') != std::string::npos) return 0;

  // Each text is read into a fresh spec state with the built-in specs.
  vorn::BoundState<vorn::RunSpecs> specs;
  vorn::install_default_specs(false);
  // Odd lengths read the text as the main specs file, where "%" lines are
  // items rather than directives.
  bool main_file = size % 2 == 1;
  bool refused = false;
  try {
    if (size % 10 == 0) {
      load_through_a_file(text, main_file);
    } else {
      vorn::load_specs_text("fuzz.specs", text, main_file, true, false);
    }
  } catch (const FatalReported&) {
    vorn::diagnostic_context().reentry_depth = 0;
    refused = true;
  }
  if (!refused && text.find('\0') != std::string::npos) fail("NUL byte accepted");
  if (!refused && size % 10 == 0 && size > kFuzzFileLimit) fail("file beyond the bound accepted");
  if (!refused) check_state();
  return 0;
}
