#include "options/enum_args.h"

#include <cstring>

namespace vorn {
namespace {

bool usable(const OptionEnumValue& v, std::uint32_t language_mask) {
  return !(v.flags & kEnumDriverOnly) || (language_mask & kFlagDriver);
}

unsigned value_set(const OptionEnumValue& v) {
  return v.flags >> kEnumSetShift;
}

// The elements of a comma-separated list, in order; an empty element (a
// leading comma or two commas together) is reported like any other.
class ListWalker {
 public:
  explicit ListWalker(const char* text) : rest_(text) {}
  bool next(std::string_view* element) {
    if (done_) return false;
    const char* comma = std::strchr(rest_, ',');
    std::size_t length = comma ? static_cast<std::size_t>(comma - rest_) : std::strlen(rest_);
    *element = std::string_view(rest_, length);
    if (comma) {
      rest_ = comma + 1;
    } else {
      done_ = true;
    }
    return true;
  }

 private:
  const char* rest_;
  bool done_ = false;
};

// The value sets seen so far; sets are small numbers.
class SetTracker {
 public:
  bool add(unsigned set) {
    std::uint64_t bit = set < 64 ? std::uint64_t{1} << set : 0;
    if (used_ & bit) return false;
    used_ |= bit;
    return true;
  }

 private:
  std::uint64_t used_ = 0;
};

int lookup(const OptionEnumTable& table, std::string_view element, int* value,
           std::uint32_t language_mask) {
  if (element.empty()) return -1;
  return enum_value_from_text(table, element.data(), element.size(), value, language_mask);
}

}  // namespace

int enum_value_from_text(const OptionEnumTable& table, const char* text, std::size_t length,
                         int* value, std::uint32_t language_mask) {
  for (int i = 0; table.values[i].name != nullptr; ++i) {
    const OptionEnumValue& v = table.values[i];
    if (!usable(v, language_mask)) continue;
    if (std::strlen(v.name) == length && std::memcmp(v.name, text, length) == 0) {
      *value = v.value;
      return i;
    }
  }
  return -1;
}

const char* enum_value_name(const OptionEnumTable& table, int value, std::uint32_t language_mask,
                            bool* is_canonical) {
  for (const OptionEnumValue* v = table.values; v->name; ++v) {
    if (v->value == value && (v->flags & kEnumCanonical) && usable(*v, language_mask)) {
      *is_canonical = true;
      return v->name;
    }
  }
  *is_canonical = false;
  for (const OptionEnumValue* v = table.values; v->name; ++v) {
    if (v->value == value && usable(*v, language_mask)) return v->name;
  }
  return nullptr;
}

EnumListResult decode_enum_list(const OptionEnumTable& table, const char* argument, int mode,
                                std::uint32_t language_mask) {
  EnumListResult result{true, 0, 0};
  SetTracker sets;
  ListWalker walker(argument);
  std::string_view element;
  while (walker.next(&element)) {
    int value = 0;
    int position = lookup(table, element, &value, language_mask);
    if (position < 0) return EnumListResult{false, 0, 0};
    if (mode == 1) {
      unsigned set = value_set(table.values[position]);
      if (!sets.add(set)) return EnumListResult{false, 0, 0};
      // The list replaces every value of the set, not only the one named.
      for (const OptionEnumValue* v = table.values; v->name; ++v) {
        if (value_set(*v) == set) result.mask |= v->value;
      }
    } else {
      result.mask |= value;
    }
    result.value |= value;
  }
  return result;
}

EnumListFault find_enum_list_fault(const OptionEnumTable& table, const char* argument, int mode,
                                   std::uint32_t language_mask) {
  SetTracker sets;
  ListWalker walker(argument);
  std::string_view element;
  while (walker.next(&element)) {
    int value = 0;
    int position = lookup(table, element, &value, language_mask);
    if (position < 0) return EnumListFault{EnumListFault::kUnknown, element, {}, {}};
    if (mode != 1) continue;
    unsigned set = value_set(table.values[position]);
    if (sets.add(set)) continue;
    // Look again from the start for the first element of that set.
    ListWalker again(argument);
    std::string_view first;
    while (again.next(&first)) {
      int v = 0;
      int p = lookup(table, first, &v, language_mask);
      if (p >= 0 && value_set(table.values[p]) == set) break;
    }
    return EnumListFault{EnumListFault::kRepeatedSet, {}, first, element};
  }
  return EnumListFault{EnumListFault::kNone, {}, {}, {}};
}

}  // namespace vorn
