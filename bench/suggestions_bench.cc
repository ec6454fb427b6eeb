// One run of the suggestion machinery as the driver will use it: build the
// candidate list and answer one request.  Measured with an instruction
// counter by bench/suggestions.sh.
//   suggestions_bench suggest TEXT   the hint for the unknown option -TEXT
//   suggestions_bench complete TEXT  the completions of TEXT
#include <cstdio>
#include <cstring>

#include "options/suggestions.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s suggest|complete TEXT\n", argv[0]);
    return 2;
  }
  vorn::OptionSuggester suggester;
  if (std::strcmp(argv[1], "suggest") == 0) {
    const char* hint = suggester.suggest_option(argv[2]);
    std::printf("%s\n", hint != nullptr ? hint : "(none)");
  } else {
    suggester.print_completions(argv[2], stdout);
  }
  return 0;
}
