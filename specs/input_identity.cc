#include "specs/input_identity.h"

#include <sys/stat.h>

#include <cstring>

#include "specs/run_specs.h"
#include "specs/switches.h"

namespace vorn {
namespace {

bool is_file_input(const InputFile& input) {
  if (input.language != nullptr && std::strcmp(input.language, "*") == 0) return false;
  return std::strcmp(input.name, "-") != 0;
}

const InputIndex& input_index() {
  InputIndex& index = run_specs().input_index;
  const InputList& inputs = command_line().inputs;
  if (index.revision == inputs.revision()) return index;
  index = InputIndex{};
  index.revision = inputs.revision();
  for (const InputFile& input : inputs) {
    if (!is_file_input(input)) continue;
    index.names.emplace(input.name, input.name);
    struct stat info;
    if (stat(input.name, &info) == 0 && S_ISREG(info.st_mode)) {
      index.files.emplace(FileIdentity{info.st_dev, info.st_ino}, input.name);
    }
  }
  return index;
}

}  // namespace

const char* input_overwritten_by(const char* name) {
  if (name == nullptr || std::strcmp(name, "-") == 0) return nullptr;
  const InputIndex& index = input_index();
  struct stat info;
  if (stat(name, &info) == 0) {
    if (!S_ISREG(info.st_mode)) return nullptr;
    auto found = index.files.find(FileIdentity{info.st_dev, info.st_ino});
    return found != index.files.end() ? found->second : nullptr;
  }
  auto found = index.names.find(name);
  return found != index.names.end() ? found->second : nullptr;
}

}  // namespace vorn
