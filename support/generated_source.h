// What the build-time generators share: C string literals of arbitrary
// texts, and writing a generated file only when its content changed, so
// that an unchanged table recompiles nothing that includes it.
#ifndef VORN_SUPPORT_GENERATED_SOURCE_H
#define VORN_SUPPORT_GENERATED_SOURCE_H

#include <fstream>
#include <sstream>
#include <string>

namespace vorn::gen {

inline std::string c_string(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// False when the file could not be written.
inline bool write_if_changed(const std::string& path, const std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (in) {
    std::stringstream old;
    old << in.rdbuf();
    if (old.str() == content) return true;
  }
  std::ofstream out(path, std::ios::binary);
  out << content;
  return static_cast<bool>(out);
}

}  // namespace vorn::gen

#endif  // VORN_SUPPORT_GENERATED_SOURCE_H
