#include "options/integer_argument.h"
#include "support/char_class.h"

#include <strings.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vorn {
namespace {

constexpr std::uint64_t kAllOnes = ~std::uint64_t{0};

struct ByteUnit {
  char name[4];  // in the row: no relocation at load time
  std::uint64_t factor;
  bool exact_case;
};

// "kB", "KB" and "MB" differ from the other units only by case, so they are
// matched exactly; the rest ignore case ("eib" is "EiB").
constexpr ByteUnit kByteUnits[] = {
    {"kB", 1000, true},
    {"KB", 1024, true},
    {"MB", 1000 * 1000, true},
    {"KiB", std::uint64_t{1} << 10, false},
    {"MiB", std::uint64_t{1} << 20, false},
    {"GB", 1000ull * 1000 * 1000, false},
    {"GiB", std::uint64_t{1} << 30, false},
    {"TB", 1000ull * 1000 * 1000 * 1000, false},
    {"TiB", std::uint64_t{1} << 40, false},
    {"PB", 1000ull * 1000 * 1000 * 1000 * 1000, false},
    {"PiB", std::uint64_t{1} << 50, false},
    {"EB", 1000ull * 1000 * 1000 * 1000 * 1000 * 1000, false},
    {"EiB", std::uint64_t{1} << 60, false},
};

const ByteUnit* find_unit(const char* text) {
  ensure_ctype_locale();  // letter case follows the locale
  for (const ByteUnit& unit : kByteUnits) {
    bool same =
        unit.exact_case ? std::strcmp(text, unit.name) == 0 : strcasecmp(text, unit.name) == 0;
    if (same) return &unit;
  }
  return nullptr;
}

std::int64_t fail(int* error, int number) {
  *error = number;
  return -1;
}

std::int64_t as_signed(std::uint64_t value) {
  return static_cast<std::int64_t>(value);
}

}  // namespace

std::int64_t integer_argument(const char* text, int* error, bool allow_units) {
  *error = 0;
  if (*text < '0' || *text > '9') return fail(error, EINVAL);
  std::uint64_t number = 0;
  const char* p = text;
  for (; *p >= '0' && *p <= '9'; ++p) {
    unsigned digit = static_cast<unsigned>(*p - '0');
    number = number > (kAllOnes - digit) / 10 ? kAllOnes : number * 10 + digit;
  }
  if (*p == '\0') return as_signed(number);
  if (!allow_units) {
    errno = 0;
    char* end = nullptr;
    std::uint64_t value = std::strtoull(text, &end, 0);
    // Like plain digits, a hexadecimal number too large saturates.
    if (*end == '\0') return as_signed(value);
    return fail(error, errno != 0 ? errno : EINVAL);
  }
  const ByteUnit* unit = find_unit(p);
  if (unit == nullptr) return fail(error, EINVAL);
  if (number != 0 && number > kAllOnes / unit->factor) return as_signed(kAllOnes);
  return as_signed(number * unit->factor);
}

}  // namespace vorn
