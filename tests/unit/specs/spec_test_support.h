// The interpreter's surroundings for a test: recording hooks instead of the
// driver, an options record and the search suffixes, over the fresh run
// state every test starts with (fresh_state.cc).
#ifndef VORN_TESTS_UNIT_SPECS_SPEC_TEST_SUPPORT_H
#define VORN_TESTS_UNIT_SPECS_SPEC_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "options/option_table.h"
#include "options/options_record.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/spec_hooks.h"
#include "specs/spec_interpreter.h"
#include "specs/switches.h"
#include "support/memory.h"

namespace vorn::testing {

using Words = std::vector<std::string>;

// Records what the interpreter asks of the driver.  Temporary names are
// made up (the test directory, "ccN" and the suffix); no file is created.
inline std::string temp_dir() {
  std::filesystem::create_directories(VORN_TEST_TMPDIR);
  return VORN_TEST_TMPDIR;
}

class RecordingHooks : public SpecHooks {
 public:
  int execute(const std::vector<const char*>& arguments) override {
    commands.emplace_back(arguments.begin(), arguments.end());
    return execute_status;
  }
  void export_collect_options() override { ++exports; }
  const char* get_environment(const char* name) override {
    for (const auto& [key, value] : environment) {
      if (key == name) return value.c_str();
    }
    return nullptr;
  }
  const char* new_temp_name(const char* suffix) override {
    std::string name = temp_dir() + "/cc" + std::to_string(++temp_count) + suffix;
    return xstrdup(name.c_str());
  }
  void register_temp_file(const char* name, bool at_exit, bool on_failure) override {
    if (at_exit) delete_at_exit.emplace_back(name);
    if (on_failure) delete_on_failure.emplace_back(name);
  }

  std::vector<Words> commands;
  std::vector<std::pair<std::string, std::string>> environment;
  Words delete_at_exit;
  Words delete_on_failure;
  int execute_status = 0;
  int exports = 0;
  int temp_count = 0;
};

// Assertions on texts, with the texts in the failure message.
inline ::testing::AssertionResult HasText(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << text << "\" lacks \"" << part << "\"";
}
inline ::testing::AssertionResult StartsWith(const std::string& text, const std::string& prefix) {
  if (text.starts_with(prefix)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "\"" << text << "\" does not start with \"" << prefix << "\"";
}
inline ::testing::AssertionResult EndsWith(const std::string& text, const std::string& suffix) {
  if (text.ends_with(suffix)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "\"" << text << "\" does not end with \"" << suffix << "\"";
}

class SpecTest : public ::testing::Test {
 protected:
  void SetUp() override {
    compute_search_suffixes();
    options_ = kInitialOptionsRecord;
    command_line().options = &options_;
    set_spec_hooks(&hooks_);
  }

  // The words SPEC expands to (the status must be STATUS).
  Words expand(const char* spec, int status = 0) {
    EXPECT_EQ(expand_spec(spec, nullptr), status) << spec;
    const std::vector<const char*>& words = spec_arguments();
    return Words(words.begin(), words.end());
  }

  // Records "-TEXT" with ARGUMENTS, known to the option machinery.
  CommandSwitch& add_switch(const char* option_text,
                            std::initializer_list<const char*> arguments = {}, bool known = true) {
    std::vector<const char*> args(arguments);
    return command_line().switches.record(xstrdup(option_text), args.size(), args.data(), false,
                                          known);
  }

  // Adds the input NAME and makes it current.
  void use_input(const char* name, const CompilerEntry* compiler = nullptr) {
    command_line().inputs.add(xstrdup(name), nullptr);
    compile_progress().outputs.resize(command_line().inputs.size(), nullptr);
    select_input(static_cast<int>(command_line().inputs.size() - 1), compiler);
  }

  RecordingHooks hooks_;
  OptionsRecord options_;
};

}  // namespace vorn::testing

#endif  // VORN_TESTS_UNIT_SPECS_SPEC_TEST_SUPPORT_H
