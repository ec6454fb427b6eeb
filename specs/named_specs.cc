// The spec list: built-in specs with their value slots, specs created at
// run time, and the link command spec.
#include "specs/named_specs.h"

#include <cstring>
#include <deque>
#include <optional>
#include <string>

#include "diagnostics/diagnostic.h"
#include "specs/builtin_specs.h"
#include "specs/builtin_switch_atoms.h"
#include "specs/run_specs.h"

namespace vorn {

NamedSpecState::NamedSpecState() {
  for (int i = 0; i < kStaticSpecCount; ++i) {
    slots[i] = kBuiltinSpecTexts[i].text;
    NamedSpec& spec = builtin[i];
    spec.name = kBuiltinSpecTexts[i].name;
    spec.own_value = nullptr;
    spec.value_slot = &slots[i];
    spec.next = nullptr;
    spec.name_length = static_cast<int>(std::strlen(spec.name));
    spec.user = false;
    spec.owned = false;
    spec.default_text = i == static_cast<int>(SpecId::kAsmCpuSpec) ? slots[i] : nullptr;
  }
}

namespace {

NamedSpecState& state() {
  std::optional<NamedSpecState>& named = run_specs().named_specs;
  if (!named) named.emplace();
  return *named;
}

// Links the built-in records in table order, "asm_cpu_spec" last.
void link_builtin_list() {
  NamedSpecState& s = state();
  for (int i = 0; i < kStaticSpecCount; ++i) {
    s.builtin[i].next = i + 1 < kStaticSpecCount ? &s.builtin[i + 1] : nullptr;
  }
  s.head = &s.builtin[0];
}

void ensure_list() {
  if (state().head == nullptr) link_builtin_list();
}

void replace_text(NamedSpec* spec, const char* text, bool owned) {
  *spec->value_slot = text;
  spec->owned = owned;
}

// Replaces the text with an owned copy of TEXT.
void replace_with_copy(NamedSpec* spec, std::string text) {
  replace_text(spec, keep_spec_text(std::move(text)), true);
}

const char* builtin_text(SpecId id) {
  return kBuiltinSpecTexts[static_cast<int>(id)].text;
}

bool has_name(const NamedSpec& spec, std::string_view name) {
  return static_cast<std::size_t>(spec.name_length) == name.size() &&
         std::memcmp(spec.name, name.data(), name.size()) == 0;
}

}  // namespace

const char* spec_text(SpecId id) {
  return state().slots[static_cast<int>(id)];
}

const char** spec_slot(SpecId id) {
  return &state().slots[static_cast<int>(id)];
}

void install_default_specs(bool verbose) {
  if (verbose) print_notice(stderr, "Using built-in specs.\n");
  NamedSpecState& s = state();
  link_builtin_list();
  NamedSpec& libvorn = s.builtin[static_cast<int>(SpecId::kLibvorn)];
  const bool libvorn_builtin = libvorn.text() == builtin_text(SpecId::kLibvorn);
  replace_with_copy(&libvorn, rewrite_libvorn(libvorn.text()));
  if (libvorn_builtin) s.installed_libvorn = libvorn.text();
  NamedSpec& link = s.builtin[static_cast<int>(SpecId::kLink)];
  const bool link_builtin = link.text() == builtin_text(SpecId::kLink);
  std::string prefixed = std::string(kLinkFrameHeaderPrefix) + link.text();
  replace_with_copy(&link, std::move(prefixed));
  if (link_builtin) s.installed_link = link.text();
  if (s.link_command == nullptr) s.link_command = kLinkCommandSpecText;
}

bool spec_list_exists() {
  return state().head != nullptr;
}

NamedSpec* find_named_spec(std::string_view name) {
  NamedSpecState& s = state();
  if (s.head == nullptr) {
    // Looking up must not link the list: whether it exists decides whether
    // the built-in specs still have to be installed.
    for (NamedSpec& spec : s.builtin) {
      if (has_name(spec, name)) return &spec;
    }
    return nullptr;
  }
  for (NamedSpec* spec = s.head; spec != nullptr; spec = spec->next) {
    if (has_name(*spec, name)) return spec;
  }
  return nullptr;
}

const char* named_spec_text(std::string_view name) {
  NamedSpec* spec = find_named_spec(name);
  return spec != nullptr ? spec->text() : nullptr;
}

void define_spec(const char* name, const char* text, bool user) {
  ensure_list();
  NamedSpec* spec = find_named_spec(name);
  if (spec == nullptr) {
    NamedSpecState& s = state();
    spec = &s.created.emplace_back();
    spec->name = keep_spec_text(name);
    spec->name_length = static_cast<int>(std::strlen(name));
    spec->own_value = "";
    spec->value_slot = &spec->own_value;
    spec->next = s.head;
    s.head = spec;
  }
  std::string value;
  if (text[0] == '+' && (text[1] == ' ' || text[1] == '\t')) {
    value = spec->text();
    value += text + 1;
  } else {
    value = text;
  }
  replace_with_copy(spec, std::move(value));
  spec->user = user;
}

void set_static_spec(const char** slot, const char* text, bool owned) {
  NamedSpecState& s = state();
  for (NamedSpec& spec : s.builtin) {
    if (spec.value_slot == slot) {
      replace_text(&spec, text, owned);
      return;
    }
  }
  VORN_CHECK_FAILED("set_static_spec");
}

NamedSpec* first_named_spec() {
  return state().head;
}

const SwitchAtomRange* builtin_switch_atoms(const NamedSpec& spec) {
  NamedSpecState& s = state();
  if (&spec < s.builtin || &spec >= s.builtin + kStaticSpecCount) return nullptr;
  const auto id = static_cast<SpecId>(&spec - s.builtin);
  const char* text = spec.text();
  if (text == builtin_text(id)) return &kBuiltinNamedSpecAtoms[static_cast<int>(id)];
  if (id == SpecId::kLink && text == s.installed_link) return &kInstalledLinkAtoms;
  if (id == SpecId::kLibvorn && text == s.installed_libvorn) return &kInstalledLibvornAtoms;
  return nullptr;
}

const SwitchAtomRange* builtin_link_command_atoms() {
  return state().link_command == kLinkCommandSpecText ? &kBuiltinLinkCommandAtoms : nullptr;
}

const char* link_command_spec() {
  return state().link_command;
}

void set_link_command_spec(const char* text) {
  state().link_command = text;
}

void dump_specs(std::FILE* stream) {
  ensure_list();
  for (NamedSpec* spec = state().head; spec != nullptr; spec = spec->next) {
    std::fprintf(stream, "*%s:\n%s\n\n", spec->name, spec->text());
  }
  const char* link = link_command_spec();
  std::fprintf(stream, "*link_command:\n%s\n\n", link != nullptr ? link : "");
}

const char* keep_spec_text(std::string text) {
  return state().texts.emplace_back(std::move(text)).c_str();
}

}  // namespace vorn
