#include "options/gen/def_reader.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace vorn::gen {

void fail(const std::string& message) {
  std::fprintf(stderr, "option_table_gen: error: %s\n", message.c_str());
  std::exit(1);
}

void fail_at(const DefLine& line, const std::string& message) {
  fail(line.file + ":" + std::to_string(line.number) + ": " + message);
}

namespace {

// Splits one line; quotes are kept in the words so that a quoted empty string
// stays distinguishable from a missing word.
bool split_words(const std::string& text, std::vector<std::string>* words) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i == text.size() || text[i] == '#') break;  // a comment runs to the end
    std::string word;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
      if (text[i] != '"') {
        word += text[i++];
        continue;
      }
      word += text[i++];
      while (i < text.size() && text[i] != '"') {
        if (text[i] == '\\' && i + 1 < text.size()) word += text[i++];
        word += text[i++];
      }
      if (i == text.size()) return false;
      word += text[i++];
    }
    words->push_back(word);
  }
  return true;
}

std::string unescape(const std::string& quoted) {
  std::string out;
  for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
    if (quoted[i] == '\\' && i + 2 < quoted.size()) ++i;
    out += quoted[i];
  }
  return out;
}

}  // namespace

std::vector<DefLine> read_def_file(const std::string& path) {
  std::ifstream in(path);
  if (!in) fail("cannot read " + path);
  std::vector<DefLine> lines;
  std::string text;
  int number = 0;
  while (std::getline(in, text)) {
    ++number;
    DefLine line{path, number, {}};
    if (!split_words(text, &line.words)) fail_at(line, "unterminated quote");
    if (line.words.empty()) continue;
    lines.push_back(std::move(line));
  }
  return lines;
}

bool unquote(const std::string& word, std::string* out) {
  if (word.size() < 2 || word.front() != '"' || word.back() != '"') return false;
  // A word such as "a"b"c" is not one quoted string.
  for (std::size_t i = 1; i + 1 < word.size(); ++i) {
    if (word[i] == '\\') {
      ++i;
    } else if (word[i] == '"') {
      return false;
    }
  }
  *out = unescape(word);
  return true;
}

bool keyed_value(const std::string& word, const std::string& key, std::string* out) {
  if (word.compare(0, key.size() + 1, key + "=") != 0) return false;
  std::string rest = word.substr(key.size() + 1);
  if (!unquote(rest, out)) *out = rest;
  return true;
}

}  // namespace vorn::gen
