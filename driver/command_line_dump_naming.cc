// Where dump and auxiliary files go: the dump directory, the dump base and
// its suffix, and the output stem that the link step uses, decided once
// from -o, -dumpdir, -dumpbase, -dumpbase-ext, -save-temps and the inputs.
#include <cstring>
#include <string>

#include "driver/command_line.h"
#include "driver/driver.h"
#include "specs/switches.h"
#include "support/base_name.h"
#include "support/memory.h"

namespace vorn {
namespace {

constexpr long kNoInput = -1;
constexpr long kSeveralInputs = -2;

bool ends_with(const char* text, std::size_t length, const char* suffix) {
  std::size_t suffix_length = std::strlen(suffix);
  return length > suffix_length && std::strcmp(text + length - suffix_length, suffix) == 0;
}

// The one input that is compiled (not a linker item and, under -fwpa, not
// an LTO object), kNoInput or kSeveralInputs.
long single_input(bool wpa) {
  long found = kNoInput;
  const InputList& inputs = command_line().inputs;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const char* language = inputs[i].language;
    if (language != nullptr && std::strcmp(language, "*") == 0) continue;
    if (wpa && language != nullptr && std::strcmp(language, "lto") == 0) continue;
    if (found != kNoInput) return kSeveralInputs;
    found = static_cast<long>(i);
  }
  return found;
}

bool real_output_file(const char* output) {
  return output != nullptr && std::strcmp(output, "-") != 0 &&
         std::strcmp(output, "/dev/null") != 0;
}

// NAME is BASE, ".", and a suffix without a further ".".
bool adds_single_suffix(const char* name, const char* base) {
  std::size_t length = std::strlen(base);
  if (std::strncmp(name, base, length) != 0 || name[length] != '.') return false;
  return std::strchr(name + length + 1, '.') == nullptr;
}

// The dump directory, from -dumpdir or from the output name.
void choose_dump_dir(const char* output) {
  CommandLine& line = command_line();
  const DriverState& state = driver_state();
  if (state.explicit_dump_dir && !state.save_temps_after_dumpdir) {
    // -dumpdir wins.
  } else if (real_output_file(output)) {
    line.dump_dir = nullptr;
    const char* base = base_name(output);
    if (base != output && line.save_temps != SaveTempsMode::kCwd) {
      line.dump_dir = xstrndup(output, static_cast<std::size_t>(base - output));
    }
  } else if (output == nullptr) {
    line.dump_dir = nullptr;
  }
  if (line.save_temps != SaveTempsMode::kNone) line.save_temps = SaveTempsMode::kDump;
}

void append_to_dump_dir(const char* stem) {
  CommandLine& line = command_line();
  std::string dir = line.dump_dir != nullptr ? line.dump_dir : "";
  dir += stem;
  dir += '-';
  line.dump_dir = xstrdup(dir.c_str());
  line.dump_dir_trailing_dash = true;
}

// Dumps of a link are named after the output (or "a").
void name_dumps_after_output(const char* output, long single) {
  CommandLine& line = command_line();
  std::string base = "a";
  if (real_output_file(output)) {
    const char* name = base_name(output);
    std::size_t length = std::strlen(name);
    std::size_t cut = 0;
    if (line.dump_base_ext != nullptr) {
      if (ends_with(name, length, line.dump_base_ext)) cut = std::strlen(line.dump_base_ext);
    } else if (length > 0) {
      const char* dot = std::strrchr(name + 1, '.');
      if (dot != nullptr && (std::strcmp(dot, ".exe") == 0 || std::strcmp(name, "a.out") == 0)) {
        cut = std::strlen(dot);
      }
    }
    base.assign(name, length - cut);
  }
  line.output_stem_length = 0;
  if (line.dump_base != nullptr ||
      (single >= 0 &&
       adds_single_suffix(base_name(line.inputs[static_cast<std::size_t>(single)].name),
                          base.c_str()))) {
    line.output_stem = xstrdup(base.c_str());
  } else {
    append_to_dump_dir(base.c_str());
  }
  if (!driver_state().explicit_dump_dir || line.dump_base != nullptr) {
    line.dump_base_ext = nullptr;
  }
}

// The stem of per-input dump names when compiling only.
void choose_output_stem(const char* output) {
  CommandLine& line = command_line();
  if (line.dump_base != nullptr) {
    std::size_t length = std::strlen(line.dump_base);
    if (line.dump_base_ext != nullptr) length -= std::strlen(line.dump_base_ext);
    line.output_stem = xstrndup(line.dump_base, length);
  } else if (real_output_file(output)) {
    const char* name = base_name(output);
    const char* dot = name[0] != '\0' ? std::strrchr(name + 1, '.') : nullptr;
    std::size_t length = dot != nullptr ? static_cast<std::size_t>(dot - name) : std::strlen(name);
    line.output_stem = xstrndup(name, length);
  } else {
    return;
  }
  line.output_stem_length = std::strlen(line.output_stem);
}

}  // namespace

void compute_dump_naming(bool wpa) {
  CommandLine& line = command_line();
  const DriverState& state = driver_state();
  const char* output = state.output_given ? state.output_file : nullptr;
  const bool linking = !line.stops.compile_only();
  const bool explicit_dir = state.explicit_dump_dir;
  const long single = single_input(wpa);

  choose_dump_dir(output);

  // A dump base with a directory of its own ignores the dump directory.
  if (line.dump_base != nullptr && std::strcmp(base_name(line.dump_base), line.dump_base)) {
    line.dump_dir = nullptr;
  }
  // The suffix must be a proper ending of the dump base.
  if (line.dump_base_ext != nullptr && line.dump_base != nullptr && line.dump_base[0] != '\0' &&
      !ends_with(line.dump_base, std::strlen(line.dump_base), line.dump_base_ext)) {
    line.dump_base_ext = nullptr;
  }

  const bool base_given = line.dump_base != nullptr;
  const bool base_nonempty = base_given && line.dump_base[0] != '\0';
  if (base_nonempty && (single == kSeveralInputs || (linking && !explicit_dir))) {
    // The dump base becomes a prefix of every input's dumps.
    std::size_t length = std::strlen(line.dump_base);
    if (line.dump_base_ext != nullptr) length -= std::strlen(line.dump_base_ext);
    std::string stem(line.dump_base, length);
    append_to_dump_dir(stem.c_str());
    line.dump_base = nullptr;
    line.dump_base_ext = nullptr;
  } else if (linking && (!explicit_dir || (base_given && !base_nonempty))) {
    name_dumps_after_output(output, single);
  }

  // A dump base left in force, or compiling only, gives the per-input
  // stem; an empty dump base asks for none.
  if ((line.dump_base != nullptr || line.stops.compile_only()) &&
      !(line.dump_base != nullptr && line.dump_base[0] == '\0')) {
    choose_output_stem(output);
  }
  // The interpreter takes the dump directory by its length; a dump-base
  // suffix is kept only with a non-empty dump base.
  line.dump_dir_length = line.dump_dir != nullptr ? std::strlen(line.dump_dir) : 0;
  if (line.dump_base_ext != nullptr && !(line.dump_base != nullptr && line.dump_base[0] != '\0')) {
    line.dump_base_ext = nullptr;
  }
}

}  // namespace vorn
