// Reading options.def, enums.def and variables.def into the model.
#include <cstdlib>
#include <set>

#include "options/gen/def_reader.h"
#include "options/gen/gen_model.h"

namespace vorn::gen {
namespace {

std::string quoted_word(const DefLine& line, std::size_t i) {
  std::string out;
  if (i >= line.words.size() || !unquote(line.words[i], &out)) {
    fail_at(line, "expected a quoted string as word " + std::to_string(i + 1));
  }
  return out;
}

long parse_number(const DefLine& line, const std::string& text) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0') fail_at(line, "bad number '" + text + "'");
  return value;
}

std::uint32_t language_bit(const DefLine& line, const std::string& name) {
  for (std::size_t i = 0; i < std::size(kLanguageNames); ++i) {
    if (name == kLanguageNames[i]) return 1u << i;
  }
  fail_at(line, "unknown language '" + name + "'");
}

std::uint32_t class_bit(const DefLine& line, const std::string& name) {
  if (name == "common") return kCommon;
  if (name == "warning") return kWarning;
  if (name == "optimization") return kOptimization;
  if (name == "params") return kParams;
  if (name == "target") return kTarget;
  fail_at(line, "unknown option class '" + name + "'");
}

template <typename F>
void for_each_listed(const std::string& list, F f) {
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    f(list.substr(start, comma - start));
    start = comma + 1;
  }
}

// Plain markers that set one bit.
bool apply_marker(const std::string& w, Row* row) {
  static const struct {
    const char* word;
    std::uint32_t flags;
    std::uint32_t attributes;
  } kMarkers[] = {
      {"J", kJoined, 0},           {"S", kSeparate, 0},          {"JS", kJoined | kSeparate, 0},
      {"dr", kDriver, 0},          {"u", kUndocumented, 0},      {"nodebug", kNoDebugRecord, 0},
      {"O", 0, kArgumentOptional}, {"N", 0, kNoNegativeForm},    {"U", 0, kUnsignedArgument},
      {"U64", 0, kWideInteger},    {"SZ", 0, kSizeArgument},     {"LC", 0, kLowercaseArgument},
      {"X", 0, kDisabled},         {"RD", 0, kRejectedByDriver}, {"ND", 0, kNoDriverArgument},
  };
  for (const auto& m : kMarkers) {
    if (w == m.word) {
      row->flags |= m.flags;
      row->attributes |= m.attributes;
      return true;
    }
  }
  return false;
}

void read_alias(const DefLine& line, std::size_t i, Row* row) {
  if (i >= line.words.size()) fail_at(line, "alias without target");
  const std::string& target = line.words[i];
  if (target == "ignored") {
    row->alias = AliasKind::kIgnored;
  } else if (target == "removed") {
    row->alias = AliasKind::kRemoved;
  } else {
    row->alias = AliasKind::kRow;
    row->alias_name = quoted_word(line, i);
  }
  for (++i; i < line.words.size(); ++i) {
    std::string value;
    if (keyed_value(line.words[i], "arg", &value)) {
      row->alias_argument = value;
    } else if (keyed_value(line.words[i], "neg", &value)) {
      row->negative_alias_argument = value;
    } else {
      fail_at(line, "unexpected '" + line.words[i] + "' after the alias target");
    }
  }
}

void read_row_word(const DefLine& line, std::size_t* i, Row* row) {
  const std::string& w = line.words[*i];
  std::string value;
  if (apply_marker(w, row)) return;
  if (w == "W") {
    row->usage_warning = quoted_word(line, ++*i);
  } else if (keyed_value(w, "help", &value)) {
    row->help = value;
  } else if (keyed_value(w, "class", &value)) {
    for_each_listed(value, [&](const std::string& c) { row->flags |= class_bit(line, c); });
  } else if (keyed_value(w, "lang", &value)) {
    for_each_listed(value, [&](const std::string& l) { row->flags |= language_bit(line, l); });
  } else if (keyed_value(w, "list", &value)) {
    if (value != "sets" && value != "or") fail_at(line, "list= takes sets or or");
    row->list_mode = value == "sets" ? 1 : 2;
  } else if (w.size() > 1 && w[0] == 'E') {
    row->enum_index = static_cast<int>(parse_number(line, w.substr(1)));
  } else if (w.size() > 1 && w[0] == 'M') {
    row->missing_message = static_cast<int>(parse_number(line, w.substr(1)));
  } else if (w.size() > 1 && w[0] == 'R' && w.find("..") != std::string::npos) {
    std::size_t dots = w.find("..");
    row->range_min = static_cast<int>(parse_number(line, w.substr(1, dots - 1)));
    row->range_max = static_cast<int>(parse_number(line, w.substr(dots + 2)));
    row->has_range = true;
  } else {
    fail_at(line, "unknown marker '" + w + "'");
  }
}

void read_row(const DefLine& line, Model* model) {
  Row row;
  row.text = quoted_word(line, 0);
  row.line = line.number;
  if (row.text.size() < 2 || row.text[0] != '-') fail_at(line, "option text must start with -");
  for (std::size_t i = 1; i < line.words.size(); ++i) {
    if (line.words[i] == "->") {
      read_alias(line, i + 1, &row);
      break;
    }
    read_row_word(line, &i, &row);
  }
  model->rows.push_back(std::move(row));
}

void read_negation(const DefLine& line, Model* model) {
  std::vector<std::string> members;
  for (std::size_t i = 1; i < line.words.size(); ++i) members.push_back(quoted_word(line, i));
  if (members.size() < 2) fail_at(line, "a ring or link needs two options");
  if (line.words[0] == "link") {
    if (members.size() != 2) fail_at(line, "a link names exactly two options");
    model->negation_edges.push_back({members[0], members[1]});
    return;
  }
  for (std::size_t i = 0; i < members.size(); ++i) {
    model->negation_edges.push_back({members[i], members[(i + 1) % members.size()]});
  }
}

}  // namespace

void read_options_def(const std::string& path, Model* model) {
  for (const DefLine& line : read_def_file(path)) {
    const std::string& first = line.words[0];
    if (first[0] == '"') {
      read_row(line, model);
    } else if (first == "ring" || first == "link") {
      read_negation(line, model);
    } else if (first.size() > 1 && first[0] == 'M') {
      std::size_t number = static_cast<std::size_t>(parse_number(line, first.substr(1)));
      if (number != model->missing_messages.size() + 1) fail_at(line, "messages out of order");
      model->missing_messages.push_back(quoted_word(line, 1));
    } else {
      fail_at(line, "unknown line kind '" + first + "'");
    }
  }
}

void read_enums_def(const std::string& path, Model* model) {
  for (const DefLine& line : read_def_file(path)) {
    const std::string& first = line.words[0];
    if (first == "table") {
      if (line.words.size() != 2) fail_at(line, "table takes its number");
      if (parse_number(line, line.words[1]) != static_cast<long>(model->enums.size())) {
        fail_at(line, "tables must be numbered 0, 1, ... in order");
      }
      model->enums.emplace_back();
      continue;
    }
    if (model->enums.empty()) fail_at(line, "'" + first + "' before the first table");
    EnumTable& table = model->enums.back();
    if (first == "heading") {
      table.heading = quoted_word(line, 1);
    } else if (first == "unknown") {
      table.unknown_message = quoted_word(line, 1);
    } else if (first == "value") {
      EnumValue v{quoted_word(line, 1), 0, 0};
      if (line.words.size() < 3) fail_at(line, "value needs a name and a number");
      v.value = parse_number(line, line.words[2]);
      for (std::size_t i = 3; i < line.words.size(); ++i) {
        std::string set;
        if (line.words[i] == "canonical") {
          v.flags |= 1;
        } else if (line.words[i] == "driver") {
          v.flags |= 2;
        } else if (keyed_value(line.words[i], "set", &set)) {
          v.flags |= static_cast<unsigned>(parse_number(line, set)) << 2;
        } else {
          fail_at(line, "unknown value attribute '" + line.words[i] + "'");
        }
      }
      table.values.push_back(v);
    } else {
      fail_at(line, "unknown line kind '" + first + "'");
    }
  }
}

void read_variables_def(const std::string& path, Model* model) {
  std::set<std::string> fields;
  std::map<std::string, const DefLine*> uses;
  static const std::set<std::string> kKinds = {"Integer",  "EqualsValue", "ClearBits",  "SetBits",
                                               "ByteSize", "String",      "Enumerated", "Deferred"};
  static const std::set<std::string> kTypes = {"int", "int64", "string", "deferred"};
  std::vector<DefLine> lines = read_def_file(path);
  for (const DefLine& line : lines) {
    const std::string& first = line.words[0];
    if (first == "field") {
      if (line.words.size() != 4) fail_at(line, "field NAME TYPE INITIAL");
      if (!kTypes.count(line.words[2])) fail_at(line, "unknown type " + line.words[2]);
      if (!fields.insert(line.words[1]).second) fail_at(line, "duplicate field");
      model->fields.push_back({line.words[1], line.words[2], line.words[3]});
    } else if (first == "use") {
      if (line.words.size() < 4 || line.words.size() > 5)
        fail_at(line, "use NAME \"opt\" KIND [V]");
      if (!fields.count(line.words[1])) fail_at(line, "use of an undeclared field");
      if (!kKinds.count(line.words[3])) fail_at(line, "unknown kind " + line.words[3]);
      std::string option = quoted_word(line, 2);
      if (!uses.emplace(option, &line).second) fail_at(line, "option given two variables");
    } else {
      fail_at(line, "unknown line kind '" + first + "'");
    }
  }
  for (Row& row : model->rows) {
    auto it = uses.find(row.text);
    if (it == uses.end()) continue;
    const DefLine& line = *it->second;
    row.field = line.words[1];
    row.kind = line.words[3];
    if (line.words.size() == 5) row.kind_value = parse_number(line, line.words[4]);
    uses.erase(it);
  }
  if (!uses.empty()) fail_at(*uses.begin()->second, "variable of an option that is no row");
}

}  // namespace vorn::gen
