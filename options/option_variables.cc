#include "options/option_variables.h"

#include <climits>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "support/memory.h"

namespace vorn {
namespace {

// An integer variable is 64 bits wide for wide_integer rows, else 32.
void store_integer(void* variable, const OptionDescriptor& row, std::int64_t value) {
  if (option_has(row, kAttrWideInteger)) {
    *static_cast<std::int64_t*>(variable) = value;
  } else {
    *static_cast<int*>(variable) = static_cast<int>(value);
  }
}

std::int64_t load_integer(const void* variable, const OptionDescriptor& row) {
  if (option_has(row, kAttrWideInteger)) return *static_cast<const std::int64_t*>(variable);
  return *static_cast<const int*>(variable);
}

void append_deferred(void* variable, void* explicit_variable, std::size_t index,
                     const char* argument, std::int64_t value) {
  auto** list = static_cast<DeferredOptionList**>(variable);
  if (*list == nullptr) {
    *list = static_cast<DeferredOptionList*>(xcalloc(1, sizeof(DeferredOptionList)));
  }
  // Both records share the one list.
  if (explicit_variable) *static_cast<DeferredOptionList**>(explicit_variable) = *list;
  DeferredOptionList* l = *list;
  if (l->count == l->capacity) {
    l->capacity = l->capacity ? l->capacity * 2 : 8;
    l->items =
        static_cast<DeferredOption*>(xrealloc(l->items, l->capacity * sizeof(DeferredOption)));
  }
  l->items[l->count++] = DeferredOption{index, argument, value};
}

void set_bits(void* variable, void* explicit_variable, const OptionDescriptor& row, bool positive) {
  std::int64_t bits = row.variable_value;
  std::int64_t old = load_integer(variable, row);
  bool set = positive == (row.variable_kind == VariableKind::SetBits);
  store_integer(variable, row, set ? (old | bits) : (old & ~bits));
  if (explicit_variable) {
    store_integer(explicit_variable, row, load_integer(explicit_variable, row) | bits);
  }
}

}  // namespace

void* option_variable(std::size_t index, OptionsRecord* options) {
  std::uint16_t offset = kOptionTable[index].variable_offset;
  if (offset == kNoVariable || options == nullptr) return nullptr;
  return reinterpret_cast<char*>(options) + offset;
}

void store_option_use(const OptionDescriptor& row, std::size_t index, void* variable,
                      void* explicit_variable, std::int64_t value, const char* argument,
                      SourceLocation location, std::int64_t mask) {
  switch (row.variable_kind) {
    case VariableKind::Integer:
      if (!option_has(row, kAttrWideInteger) && value > INT_MAX) {
        error_at(location, _("argument to %qs is bigger than %d"), row.text.c_str(), INT_MAX);
        return;
      }
      store_integer(variable, row, value);
      if (explicit_variable) store_integer(explicit_variable, row, 1);
      break;
    case VariableKind::EqualsValue:
      store_integer(variable, row, value ? row.variable_value : !row.variable_value);
      if (explicit_variable) store_integer(explicit_variable, row, 1);
      break;
    case VariableKind::SetBits:
    case VariableKind::ClearBits:
      set_bits(variable, explicit_variable, row, value != 0);
      break;
    case VariableKind::ByteSize:
      store_integer(variable, row, value);
      if (explicit_variable) store_integer(explicit_variable, row, value);
      break;
    case VariableKind::String:
      *static_cast<const char**>(variable) = argument;
      if (explicit_variable) *static_cast<const char**>(explicit_variable) = "";
      break;
    case VariableKind::Enumerated: {
      const OptionEnumTable& table = kOptionEnumTables[row.enum_index];
      int stored = static_cast<int>(value);
      if (mask != 0) stored = static_cast<int>(value | (table.get(variable) & ~mask));
      table.set(variable, stored);
      if (explicit_variable) table.set(explicit_variable, 1);
      break;
    }
    case VariableKind::Deferred:
      append_deferred(variable, explicit_variable, index, argument, value);
      break;
  }
}

void set_option_variable(OptionsRecord* options, OptionsRecord* explicitly_set, std::size_t index,
                         std::int64_t value, const char* argument, SourceLocation location,
                         std::int64_t mask) {
  void* variable = option_variable(index, options);
  if (variable == nullptr) return;
  store_option_use(kOptionTable[index], index, variable, option_variable(index, explicitly_set),
                   value, argument, location, mask);
}

}  // namespace vorn
