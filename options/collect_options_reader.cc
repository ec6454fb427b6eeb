#include "options/collect_options_reader.h"

#include <cstring>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "support/memory.h"

namespace vorn {

bool split_collected_options(const char* text, std::vector<std::string>* elements) {
  const char* p = text;
  while (*p != '\0') {
    if (*p != '\'') {  // text between elements is skipped
      ++p;
      continue;
    }
    std::string element;
    for (++p;; ++p) {
      if (*p == '\0') return false;
      if (*p != '\'') {
        element += *p;
      } else if (std::strncmp(p, "'\\''", 4) == 0) {
        element += '\'';
        p += 3;
      } else {
        break;
      }
    }
    ++p;  // the closing quote
    elements->push_back(std::move(element));
  }
  return true;
}

char** read_collected_options(const char* text) {
  std::vector<std::string> elements;
  if (!split_collected_options(text, &elements)) {
    fatal_error(current_location, _("malformed %<COLLECT_VORN_OPTIONS%>"));
  }
  char** argv = static_cast<char**>(xmalloc((elements.size() + 1) * sizeof(char*)));
  for (std::size_t i = 0; i < elements.size(); ++i) {
    argv[i] = xstrndup(elements[i].data(), elements[i].size());
  }
  argv[elements.size()] = nullptr;
  return argv;
}

}  // namespace vorn
