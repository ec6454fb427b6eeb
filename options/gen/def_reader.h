// Reading of the option definition files: each line is split into words,
// where a word may contain double-quoted parts (with \" and \\ escapes), so
// that both "-Wall" and arg="a b" are one word.
#ifndef VORN_OPTIONS_GEN_DEF_READER_H
#define VORN_OPTIONS_GEN_DEF_READER_H

#include <string>
#include <vector>

namespace vorn::gen {

struct DefLine {
  std::string file;
  int number = 0;
  std::vector<std::string> words;
};

// Reads every line that holds words; "#" outside quotes starts a comment.
// Exits with a message naming the file when it cannot be read or a quote is
// not closed.
std::vector<DefLine> read_def_file(const std::string& path);

// A word that is entirely one quoted string: its content.  Otherwise false.
bool unquote(const std::string& word, std::string* out);

// "key=..." with a quoted or plain value: the value.  Otherwise false.
bool keyed_value(const std::string& word, const std::string& key, std::string* out);

// Prints "FILE:LINE: MESSAGE" and exits with status 1.
[[noreturn]] void fail_at(const DefLine& line, const std::string& message);
[[noreturn]] void fail(const std::string& message);

}  // namespace vorn::gen

#endif  // VORN_OPTIONS_GEN_DEF_READER_H
