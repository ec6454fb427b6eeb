#include "wrappers/wrapper_command.h"

#include <iterator>

namespace vorn {

PrefixOption take_prefix_option(std::vector<std::string>& args, std::string& prefix) {
  // ARGS[0] is the program's name, whatever it looks like: an argv[0] that
  // starts with "-B" is no option.
  if (args.empty()) return PrefixOption::kAbsent;
  for (auto it = std::next(args.begin()); it != args.end(); ++it) {
    if (it->compare(0, 2, "-B") != 0) continue;
    if (it->size() > 2) {
      prefix = it->substr(2);
      args.erase(it);
    } else {
      it = args.erase(it);
      if (it == args.end()) return PrefixOption::kMissingArgument;
      prefix = *it;
      args.erase(it);
    }
    if (prefix.size() >= 2 && prefix.back() != '/') prefix += '/';
    return PrefixOption::kTaken;
  }
  return PrefixOption::kAbsent;
}

std::vector<std::string> build_tool_arguments(const std::string& tool_path,
                                              const std::string& plugin_path,
                                              const std::vector<std::string>& args,
                                              bool dash_first) {
  std::vector<std::string> result = {tool_path, "--plugin", plugin_path};
  if (args.size() > 1) {
    result.insert(result.end(), std::next(args.begin()), args.end());
    std::string& first = result[3];
    if (dash_first && (first.empty() || first[0] != '-')) first = "-" + first;
  }
  return result;
}

}  // namespace vorn
