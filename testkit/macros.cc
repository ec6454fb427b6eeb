#include "testkit/macros.h"

#include <algorithm>
#include <cctype>

namespace vorn::testkit {

namespace {

bool starts_identifier(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool continues_identifier(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::string_view trim(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

}  // namespace

void MacroTable::define_option(std::string_view option) {
  std::size_t equals = option.find('=');
  if (equals == std::string_view::npos) {
    define(std::string(option), "1");
  } else {
    define(std::string(option.substr(0, equals)), std::string(option.substr(equals + 1)));
  }
}

std::string MacroTable::expand(std::string_view line) const {
  std::set<std::string> disabled;
  return expand_disabled(line, disabled);
}

std::string MacroTable::expand_disabled(std::string_view text,
                                        std::set<std::string>& disabled) const {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '"') {
      // A string runs to the next unescaped quote.
      std::size_t end = i + 1;
      while (end < text.size() && text[end] != '"') end += text[end] == '\\' ? 2 : 1;
      end = std::min(end + 1, text.size());
      out.append(text, i, end - i);
      i = end;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      out.append(text, i);
      break;
    } else if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
      // A number such as 0x1f is one token, never a name.
      std::size_t end = i;
      while (end < text.size() && (continues_identifier(text[end]) || text[end] == '.')) ++end;
      out.append(text, i, end - i);
      i = end;
    } else if (starts_identifier(c)) {
      std::size_t end = i;
      while (end < text.size() && continues_identifier(text[end])) ++end;
      std::string name(text.substr(i, end - i));
      // Each level disables one more name, so the rescan always ends.
      auto found = macros_.find(name);
      if (found == macros_.end() || disabled.count(name) != 0) {
        out += name;
      } else {
        disabled.insert(name);
        out += expand_disabled(found->second, disabled);
        disabled.erase(name);
      }
      i = end;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

std::optional<DirectiveLine> directive_line(std::string_view line) {
  std::size_t pos = line.find_first_not_of(" \t");
  if (pos == std::string_view::npos || line[pos] != '#') return std::nullopt;
  pos = line.find_first_not_of(" \t", pos + 1);
  if (pos == std::string_view::npos || !starts_identifier(line[pos])) return std::nullopt;
  std::size_t end = pos;
  while (end < line.size() && continues_identifier(line[end])) ++end;
  return DirectiveLine{std::string(line.substr(pos, end - pos)),
                       std::string(trim(line.substr(end)))};
}

std::optional<std::string> leading_identifier(std::string_view text) {
  if (text.empty() || !starts_identifier(text[0])) return std::nullopt;
  std::size_t end = 0;
  while (end < text.size() && continues_identifier(text[end])) ++end;
  return std::string(text.substr(0, end));
}

}  // namespace vorn::testkit
