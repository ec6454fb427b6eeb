// The command line of an archive-tool wrapper: its own -B option and the
// argument vector handed to the wrapped tool.
#ifndef VORN_WRAPPERS_WRAPPER_COMMAND_H
#define VORN_WRAPPERS_WRAPPER_COMMAND_H

#include <string>
#include <vector>

namespace vorn {

enum class PrefixOption { kAbsent, kTaken, kMissingArgument };

// Removes the first argument after the program name ARGS[0] that starts
// with "-B" from ARGS, with its value: the rest of that argument, or else the next
// argument.  Later -B options belong to the tool and stay.  A prefix of two
// or more characters gets a trailing "/" when it lacks one.
PrefixOption take_prefix_option(std::vector<std::string>& args, std::string& prefix);

// The wrapped tool's argument vector: TOOL_PATH, "--plugin", PLUGIN_PATH,
// then ARGS from index 1.  With DASH_FIRST (the archiver), a first user
// argument that does not start with "-" gets one, so operation letters given
// without a dash ("rcs") reach the tool as an option ("-rcs").
std::vector<std::string> build_tool_arguments(const std::string& tool_path,
                                              const std::string& plugin_path,
                                              const std::vector<std::string>& args,
                                              bool dash_first);

}  // namespace vorn

#endif  // VORN_WRAPPERS_WRAPPER_COMMAND_H
