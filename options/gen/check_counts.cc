// The counts the option table is known to have.  A transcription slip in the
// definition files (a lost marker, a row too many) shows up here as a build
// failure that names every count that is off.
#include <functional>
#include <set>

#include "options/gen/def_reader.h"
#include "options/gen/gen_model.h"

namespace vorn::gen {
namespace {

class Checker {
 public:
  explicit Checker(const Model& model) : model_(model) {}

  void expect(const char* what, std::size_t wanted, const std::function<bool(const Row&)>& p) {
    std::size_t n = 0;
    for (const Row& row : model_.rows) n += p(row) ? 1 : 0;
    expect_value(what, wanted, n);
  }

  void expect_value(const char* what, std::size_t wanted, std::size_t actual) {
    if (wanted == actual) return;
    errors_ += std::string("\n  ") + what + ": expected " + std::to_string(wanted) + ", found " +
               std::to_string(actual);
  }

  void finish() const {
    if (!errors_.empty()) fail("the option table has wrong counts:" + errors_);
  }

 private:
  const Model& model_;
  std::string errors_;
};

bool has_flag(const Row& r, std::uint32_t f) {
  return (r.flags & f) != 0;
}
bool has_attr(const Row& r, std::uint32_t a) {
  return (r.attributes & a) != 0;
}
bool starts_with(const std::string& s, const char* p) {
  return s.rfind(p, 0) == 0;
}

bool is_param(const Row& r) {
  return starts_with(r.text, "--param=") && r.text.size() > 8 && r.text.back() == '=';
}

// A row without a language, driver, target or common bit that is joined and
// undocumented: a prefix that only exists to be remapped.
bool is_remapping_prefix(const Row& r) {
  constexpr std::uint32_t kTested =
      kLanguageMask | kDriver | kTarget | kCommon | kJoined | kUndocumented;
  return (r.flags & kTested) == (kJoined | kUndocumented);
}

void check_table_shape(Checker& c, const Model& m) {
  c.expect_value("rows", 2076, m.rows.size());
  std::size_t longest = 0;
  for (const Row& r : m.rows) longest = std::max(longest, r.text.size());
  c.expect_value("longest option text", 54, longest);
  c.expect_value("enumerated tables", 59, m.enums.size());
  c.expect_value("missing-argument messages", 11, m.missing_messages.size());
  c.expect("rows with a usage warning", 1,
           [](const Row& r) { return r.usage_warning.has_value(); });
  c.expect("remapping prefixes", 1, is_remapping_prefix);
}

void check_flags(Checker& c) {
  c.expect("driver rows", 242, [](const Row& r) { return has_flag(r, kDriver); });
  c.expect("params rows", 288, [](const Row& r) { return has_flag(r, kParams); });
  c.expect("--param= rows", 288, is_param);
  c.expect("params rows that are --param= rows", 288, [](const Row& r) {
    return has_flag(r, kParams) && is_param(r) && has_flag(r, kJoined);
  });
  c.expect("unsigned parameters", 283,
           [](const Row& r) { return is_param(r) && has_attr(r, kUnsignedArgument); });
  // "-stdlib=" among them: it is only ever written with its value.
  c.expect("joined rows", 631, [](const Row& r) { return has_flag(r, kJoined); });
  c.expect("separate rows", 85, [](const Row& r) { return has_flag(r, kSeparate); });
  // Only the rows marked u in the definitions: the help texts of the other
  // rows, and with them whether they are listed, are not part of this table.
  c.expect("undocumented rows", 16, [](const Row& r) { return has_flag(r, kUndocumented); });
  c.expect("no-debug-record rows", 1, [](const Row& r) { return has_flag(r, kNoDebugRecord); });
  c.expect("driver rows with the target bit", 0,
           [](const Row& r) { return has_flag(r, kDriver) && has_flag(r, kTarget); });
}

void check_attributes(Checker& c) {
  struct {
    const char* what;
    std::uint32_t bit;
    std::size_t count;
  } const kAttributes[] = {
      {"disabled", kDisabled, 2},
      {"no_driver_argument", kNoDriverArgument, 4},
      {"rejected_by_driver", kRejectedByDriver, 4},
      {"no_negative_form", kNoNegativeForm, 320},
      {"argument_optional", kArgumentOptional, 35},
      {"unsigned_argument", kUnsignedArgument, 345},
      {"wide_integer", kWideInteger, 7},
      {"lowercase_argument", kLowercaseArgument, 5},
      {"size_argument", kSizeArgument, 6},
  };
  for (const auto& a : kAttributes) {
    std::uint32_t bit = a.bit;
    c.expect(a.what, a.count, [bit](const Row& r) { return has_attr(r, bit); });
  }
  c.expect("rows with a range", 129, [](const Row& r) { return r.has_range; });
  c.expect("rows with a missing-argument message", 41,
           [](const Row& r) { return r.missing_message != 0; });
}

void check_links(Checker& c, const Model& m) {
  c.expect("aliases of options", 190, [](const Row& r) { return r.alias == AliasKind::kRow; });
  c.expect("aliases of IGNORED_OPTION", 45,
           [](const Row& r) { return r.alias == AliasKind::kIgnored; });
  c.expect("aliases of REMOVED_OPTION", 56,
           [](const Row& r) { return r.alias == AliasKind::kRemoved; });
  std::size_t self = 0, ring = 0;
  for (std::size_t i = 0; i < m.rows.size(); ++i) {
    long link = m.rows[i].negation_link;
    if (link == static_cast<long>(i)) {
      ++self;
    } else if (link >= 0) {
      ++ring;
    }
  }
  c.expect_value("self-negating rows", 1117, self);
  c.expect_value("negation ring members", 18, ring);
}

void check_variables(Checker& c, const Model& m) {
  c.expect("Enumerated rows", 61, [](const Row& r) { return r.kind == "Enumerated"; });
  c.expect("ByteSize rows", 6, [](const Row& r) { return r.kind == "ByteSize"; });
  std::set<std::string> driver_fields;
  for (const Row& r : m.rows) {
    if (has_flag(r, kDriver) && !r.field.empty()) driver_fields.insert(r.field);
  }
  c.expect_value("driver variables", 46, driver_fields.size());
  c.expect("rows with a variable that are not the driver's", 0,
           [](const Row& r) { return !r.field.empty() && !has_flag(r, kDriver); });
}

// The driver's own rows by argument form.
void check_driver_forms(Checker& c) {
  auto plain = [](const Row& r) { return has_flag(r, kDriver) && r.alias == AliasKind::kNone; };
  auto form = [](const Row& r) { return r.flags & (kJoined | kSeparate); };
  c.expect("driver options without argument", 106,
           [&](const Row& r) { return plain(r) && form(r) == 0; });
  c.expect("driver options with a joined argument", 40,
           [&](const Row& r) { return plain(r) && form(r) == kJoined; });
  c.expect("driver options with a separate argument", 16,
           [&](const Row& r) { return plain(r) && form(r) == kSeparate; });
  c.expect("driver options with either form", 12,
           [&](const Row& r) { return plain(r) && form(r) == (kJoined | kSeparate); });
  c.expect("driver aliases of options", 58,
           [](const Row& r) { return has_flag(r, kDriver) && r.alias == AliasKind::kRow; });
  c.expect("driver aliases of REMOVED_OPTION", 10,
           [](const Row& r) { return has_flag(r, kDriver) && r.alias == AliasKind::kRemoved; });
}

}  // namespace

void check_counts(const Model& model) {
  Checker c(model);
  check_table_shape(c, model);
  check_flags(c);
  check_attributes(c);
  check_links(c, model);
  check_variables(c, model);
  check_driver_forms(c);
  c.finish();
}

}  // namespace vorn::gen
