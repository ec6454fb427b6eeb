// The base name of a path: what follows its last "/", the whole path when
// it has none.  Only the text is looked at, never the file system, so a
// path that ends in "/" has an empty base name.
#ifndef VORN_SUPPORT_BASE_NAME_H
#define VORN_SUPPORT_BASE_NAME_H

#include <cstring>

namespace vorn {

// A pointer into PATH, never a copy.
inline const char* base_name(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash != nullptr ? slash + 1 : path;
}

}  // namespace vorn

#endif  // VORN_SUPPORT_BASE_NAME_H
