// Times the decoding of one command line of N options (argument 1), a mix
// of driver options, warnings, mapped "no-" forms, joined and separate
// arguments, aliases and inputs, and prints the seconds it took.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "options/options.h"

int main(int argc, char** argv) {
  std::size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 2000;
  static const char* const kMix[] = {"-Wall",
                                     "-fno-pic",
                                     "-O2",
                                     "-c",
                                     "-o",
                                     "out.o",
                                     "a.cc",
                                     "-Wl,-z,now",
                                     "--param=align-threshold=4",
                                     "-fPIC",
                                     "--all-warnings",
                                     "-Wno-format",
                                     "-march=armv8-a",
                                     "-fdiagnostics-color=auto",
                                     "-I",
                                     "include",
                                     "-DX=1"};
  std::vector<const char*> args{"vorn-cxx"};
  for (std::size_t i = 0; args.size() <= n; ++i) args.push_back(kMix[i % std::size(kMix)]);
  auto start = std::chrono::steady_clock::now();
  vorn::DecodedOption* options = nullptr;
  std::size_t count = 0;
  vorn::decode_options_to_array(args.size(), args.data(), vorn::kFlagDriver, &options, &count);
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%.6f\n", took.count());
  std::free(options);
  return 0;
}
