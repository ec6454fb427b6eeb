#include "testkit/archive_tools.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::testkit {

namespace {

constexpr std::string_view kArchiveHeader = "!<standin-archive>\n";
constexpr std::string_view kMemberTag = "member ";
constexpr std::string_view kIndexLine = "index";

// An archive lists its members by name, in order, and says whether it has
// an index; member contents are not kept.
struct Archive {
  std::vector<std::string> members;
  bool indexed = false;
};

enum class LoadResult { kLoaded, kMissing, kNotArchive };

LoadResult load_archive(const std::string& path, Archive& archive) {
  std::string text;
  if (!read_file(path, text)) return LoadResult::kMissing;
  if (text.compare(0, kArchiveHeader.size(), kArchiveHeader) != 0) return LoadResult::kNotArchive;
  std::size_t start = kArchiveHeader.size();
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    if (line.substr(0, kMemberTag.size()) == kMemberTag) {
      archive.members.emplace_back(line.substr(kMemberTag.size()));
    } else if (line == kIndexLine) {
      archive.indexed = true;
    }
    start = end + 1;
  }
  return LoadResult::kLoaded;
}

bool save_archive(const Invocation& inv, const std::string& path, const Archive& archive) {
  std::string text(kArchiveHeader);
  for (const std::string& member : archive.members) {
    text += std::string(kMemberTag) + member + "\n";
  }
  if (archive.indexed) text += std::string(kIndexLine) + "\n";
  return write_output(inv, path, text);
}

// Loads PATH and complains when it is missing or not an archive.
bool load_existing(const Invocation& inv, const std::string& path, Archive& archive) {
  switch (load_archive(path, archive)) {
    case LoadResult::kLoaded:
      return true;
    case LoadResult::kMissing:
      complain(inv, path + ": No such file or directory");
      return false;
    case LoadResult::kNotArchive:
      complain(inv, path + ": file format not recognized");
      return false;
  }
  return false;
}

std::string member_name(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The operands of a tool once the plug-in option the wrappers add is
// removed; other options are dropped when DROP_OPTIONS is set.
std::vector<std::string> operands(const Invocation& inv, bool drop_options) {
  std::vector<std::string> result;
  for (std::size_t i = 0; i < inv.args.size(); ++i) {
    const std::string& arg = inv.args[i];
    if (arg == "--plugin") {
      ++i;
    } else if (!drop_options || arg.empty() || arg[0] != '-') {
      result.push_back(arg);
    }
  }
  return result;
}

struct ArOperation {
  char action = 0;  // r, q, t or d; 0 for an index-only run
  bool create_quietly = false;
  bool index = false;
};

bool parse_operation(const Invocation& inv, std::string_view letters, ArOperation& op) {
  if (!letters.empty() && letters[0] == '-') letters.remove_prefix(1);
  for (char c : letters) {
    if (c == 'r' || c == 'q' || c == 't' || c == 'd') {
      if (op.action != 0 && op.action != c) {
        complain(inv, "two different operation options specified");
        return false;
      }
      op.action = c;
    } else if (c == 'c') {
      op.create_quietly = true;
    } else if (c == 's') {
      op.index = true;
    } else if (c != 'u' && c != 'v' && c != 'D' && c != 'U') {
      complain(inv, std::string("invalid option -- '") + c + "'");
      return false;
    }
  }
  if (op.action == 0 && !op.index) {
    complain(inv, "no operation specified");
    return false;
  }
  return true;
}

bool add_members(const Invocation& inv, const std::vector<std::string>& files, bool replace,
                 Archive& archive) {
  for (const std::string& file : files) {
    if (access(file.c_str(), R_OK) != 0) {
      complain(inv, file + ": No such file or directory");
      return false;
    }
    std::string name = member_name(file);
    auto found = std::find(archive.members.begin(), archive.members.end(), name);
    if (!replace || found == archive.members.end()) archive.members.push_back(name);
  }
  return true;
}

}  // namespace

int run_ar(Invocation& inv) {
  std::vector<std::string> args = operands(inv, false);
  ArOperation op;
  if (args.empty()) {
    complain(inv, "no operation specified");
    return 1;
  }
  if (!parse_operation(inv, args[0], op)) return 1;
  if (args.size() < 2) {
    complain(inv, "no archive given");
    return 1;
  }
  const std::string& path = args[1];
  std::vector<std::string> files(args.begin() + 2, args.end());
  Archive archive;
  if (op.action == 'r' || op.action == 'q') {
    LoadResult loaded = load_archive(path, archive);
    if (loaded == LoadResult::kNotArchive) {
      complain(inv, path + ": file format not recognized");
      return 1;
    }
    if (loaded == LoadResult::kMissing && !op.create_quietly) complain(inv, "creating " + path);
    if (!add_members(inv, files, op.action == 'r', archive)) return 1;
  } else {
    if (!load_existing(inv, path, archive)) return 1;
  }
  if (op.action == 't') {
    for (const std::string& member : archive.members) std::printf("%s\n", member.c_str());
    return 0;
  }
  if (op.action == 'd') {
    for (const std::string& file : files) {
      std::erase(archive.members, member_name(file));
    }
  }
  if (op.index) archive.indexed = true;
  return save_archive(inv, path, archive) ? 0 : 1;
}

int run_nm(Invocation& inv) {
  std::vector<std::string> files = operands(inv, true);
  if (files.empty()) files.push_back("a.out");
  int status = 0;
  for (const std::string& file : files) {
    Archive archive;
    std::string text;
    switch (load_archive(file, archive)) {
      case LoadResult::kLoaded:
        for (const std::string& member : archive.members) {
          std::printf("%s(%s)\n", file.c_str(), member.c_str());
        }
        break;
      case LoadResult::kNotArchive:
        // An object that a stand-in wrote names its maker on its first line.
        read_file(file, text);
        text = text.substr(0, text.find('\n'));
        std::printf("%s: %s\n", file.c_str(), text.empty() ? "no symbols" : text.c_str());
        break;
      case LoadResult::kMissing:
        complain(inv, "'" + file + "': No such file");
        status = 1;
        break;
    }
  }
  return status;
}

int run_ranlib(Invocation& inv) {
  std::vector<std::string> files = operands(inv, true);
  if (files.empty()) {
    complain(inv, "no archive given");
    return 1;
  }
  for (const std::string& file : files) {
    Archive archive;
    if (!load_existing(inv, file, archive)) return 1;
    archive.indexed = true;
    if (!save_archive(inv, file, archive)) return 1;
  }
  return 0;
}

}  // namespace vorn::testkit
