// The fields of the table that are computed from the rows, never written by
// hand: order, text_length, prefix_link, negation_link, alias targets, the
// variable kinds implied by the markers and the option code names.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>

#include "options/gen/def_reader.h"
#include "options/gen/gen_model.h"

namespace vorn::gen {
namespace {

[[noreturn]] void fail_row(const Row& row, const std::string& message) {
  fail("options.def:" + std::to_string(row.line) + ": \"" + row.text + "\": " + message);
}

void sort_rows(Model* model) {
  std::sort(model->rows.begin(), model->rows.end(), [](const Row& a, const Row& b) {
    return std::strcmp(a.text.c_str(), b.text.c_str()) < 0;
  });
  for (unsigned i = 0; i < model->rows.size(); ++i) {
    if (!model->index_of.emplace(model->rows[i].text, i).second) {
      fail_row(model->rows[i], "the option is defined twice");
    }
  }
}

// Codes drop the leading "-"; letters and digits stay, "+" becomes "p", "#"
// becomes "H", a "=" inside the text "_eq_", a "-" that ends it "_dash", and
// every other character "_".  So "-fdiagnostics-color=" is
// OPT_fdiagnostics_color_, "-Wshadow=local" is OPT_Wshadow_eq_local,
// "-Wlarger-than-" is OPT_Wlarger_than_dash and "--help" is OPT__help.
std::string code_name(const std::string& text) {
  std::string code = "OPT_";
  for (std::size_t i = 1; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isalnum(c)) {
      code += static_cast<char>(c);
    } else if (c == '+') {
      code += 'p';
    } else if (c == '#') {
      code += 'H';
    } else if (c == '=' && i + 1 < text.size()) {
      code += "_eq_";
    } else if (c == '-' && i + 1 == text.size()) {
      code += "_dash";
    } else {
      code += '_';
    }
  }
  return code;
}

void derive_codes(Model* model) {
  std::map<std::string, std::string> seen;
  for (Row& row : model->rows) {
    row.code = code_name(row.text);
    auto [it, fresh] = seen.emplace(row.code, row.text);
    if (!fresh) fail_row(row, "code " + row.code + " is also the code of \"" + it->second + "\"");
  }
}

void derive_aliases(Model* model) {
  const unsigned count = static_cast<unsigned>(model->rows.size());
  for (Row& row : model->rows) {
    switch (row.alias) {
      case AliasKind::kNone:
        row.alias_target = count;
        break;
      case AliasKind::kIgnored:
        row.alias_target = count + 2;
        break;
      case AliasKind::kRemoved:
        row.alias_target = count + 3;
        break;
      case AliasKind::kRow: {
        auto it = model->index_of.find(row.alias_name);
        if (it == model->index_of.end()) fail_row(row, "alias of an unknown option");
        row.alias_target = it->second;
        break;
      }
    }
    if (row.alias != AliasKind::kRow && (row.alias_argument || row.negative_alias_argument)) {
      fail_row(row, "alias arguments without an alias target");
    }
  }
  for (const Row& row : model->rows) {
    if (row.alias == AliasKind::kRow && model->rows[row.alias_target].alias != AliasKind::kNone) {
      fail_row(row, "alias of an alias");
    }
  }
}

// The nearest earlier row that is a proper prefix and takes a joined
// argument.  Every prefix of a text sorts before it, so the nearest such row
// is the longest.
void derive_prefix_links(Model* model) {
  const unsigned count = static_cast<unsigned>(model->rows.size());
  for (unsigned i = 0; i < count; ++i) {
    Row& row = model->rows[i];
    row.text_length = static_cast<unsigned>(row.text.size() - 1);
    if (row.text_length > 255) fail_row(row, "option text longer than 255 characters");
    row.prefix_link = count;
    for (unsigned j = i; j-- > 0;) {
      const Row& earlier = model->rows[j];
      if ((earlier.flags & kJoined) && earlier.text.size() < row.text.size() &&
          row.text.compare(0, earlier.text.size(), earlier.text) == 0) {
        row.prefix_link = j;
        break;
      }
    }
  }
}

bool self_negating(const Row& row) {
  static const std::set<std::string> kAlways = {"-march=", "-mcpu=", "-mtune="};
  if (kAlways.count(row.text)) return true;
  char second = row.text[1];
  bool family = second == 'W' || second == 'f' || second == 'g' || second == 'm';
  return family && !(row.attributes & kNoNegativeForm);
}

void derive_negation_links(Model* model) {
  std::set<std::string> members;
  for (const NegationEdge& edge : model->negation_edges) {
    auto from = model->index_of.find(edge.from);
    auto to = model->index_of.find(edge.to);
    if (from == model->index_of.end() || to == model->index_of.end()) {
      fail("negation ring names an unknown option: \"" + edge.from + "\" or \"" + edge.to + "\"");
    }
    if (!members.insert(edge.from).second) fail("\"" + edge.from + "\" is in two rings");
    model->rows[from->second].negation_link = to->second;
  }
  for (unsigned i = 0; i < model->rows.size(); ++i) {
    Row& row = model->rows[i];
    if (!members.count(row.text) && self_negating(row)) row.negation_link = i;
  }
}

// The markers E and SZ decide the variable kind of rows without a variable
// of their own; a variables.def entry must agree with them.
void derive_kinds(Model* model) {
  for (Row& row : model->rows) {
    if (row.enum_index >= 0) {
      if (row.enum_index >= static_cast<int>(model->enums.size())) {
        fail_row(row, "no enumerated table E" + std::to_string(row.enum_index));
      }
      if (!row.field.empty() && row.kind != "Enumerated") fail_row(row, "E row of another kind");
      row.kind = "Enumerated";
      row.kind_value = row.list_mode;
    } else if (row.list_mode != 0) {
      fail_row(row, "list= without an enumerated table");
    } else if (row.attributes & kSizeArgument) {
      if (!row.field.empty() && row.kind != "ByteSize") fail_row(row, "SZ row of another kind");
      row.kind = "ByteSize";
    }
    if (row.kind == "Enumerated" && row.enum_index < 0) fail_row(row, "Enumerated without E");
    if (row.missing_message > static_cast<int>(model->missing_messages.size())) {
      fail_row(row, "no missing-argument message M" + std::to_string(row.missing_message));
    }
  }
}

void check_enum_tables(const Model& model) {
  for (std::size_t t = 0; t < model.enums.size(); ++t) {
    const auto& values = model.enums[t].values;
    if (values.empty()) fail("enumerated table " + std::to_string(t) + " has no values");
    for (std::size_t i = 1; i < values.size(); ++i) {
      if (std::strcmp(values[i - 1].name.c_str(), values[i].name.c_str()) >= 0) {
        fail("enumerated table " + std::to_string(t) + ": \"" + values[i].name +
             "\" is out of order or repeated");
      }
    }
  }
}

}  // namespace

void derive(Model* model) {
  sort_rows(model);
  derive_codes(model);
  derive_aliases(model);
  derive_prefix_links(model);
  derive_negation_links(model);
  derive_kinds(model);
  check_enum_tables(*model);
}

Model read_definitions(const std::string& options, const std::string& enums,
                       const std::string& variables) {
  Model model;
  read_options_def(options, &model);
  read_enums_def(enums, &model);
  read_variables_def(variables, &model);
  derive(&model);
  return model;
}

}  // namespace vorn::gen
