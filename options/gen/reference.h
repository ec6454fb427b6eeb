// The option reference, vorn-options(7): a manual page made from the rows of
// the option table, stating for each documented row only what the table
// records (forms of the argument, classes, languages, values, ranges,
// aliases, negative forms, help text).
#ifndef VORN_OPTIONS_GEN_REFERENCE_H
#define VORN_OPTIONS_GEN_REFERENCE_H

#include <string>
#include <string_view>

#include "options/gen/gen_model.h"

namespace vorn::gen {

// TEXT as roff prints it literally inside a line: "\" and "-" escaped.
std::string roff_text(std::string_view text);

// The entry of ROW: a ".TP" paragraph, its heading and one line a sentence.
std::string reference_entry(const Model& model, const Row& row);

// The page: the lines of TEMPLATE, with the grouped entries in place of its
// line "@OPTION_SECTIONS@".
std::string reference_page(const Model& model, const std::string& template_text);

}  // namespace vorn::gen

#endif  // VORN_OPTIONS_GEN_REFERENCE_H
