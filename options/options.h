// The option machinery: the option table, decoding of command-line
// arguments, canonical forms and pruning, applying options, and the edit
// distance behind suggestions.
#ifndef VORN_OPTIONS_OPTIONS_H
#define VORN_OPTIONS_OPTIONS_H

#include "options/canonical.h"
#include "options/collect_options_reader.h"
#include "options/decode.h"
#include "options/decoded_option.h"
#include "options/edit_distance.h"
#include "options/enum_args.h"
#include "options/integer_argument.h"
#include "options/lookup.h"
#include "options/option_codes.h"
#include "options/option_handlers.h"
#include "options/option_table.h"
#include "options/option_variables.h"
#include "options/options_record.h"
#include "options/prefix_mappings.h"
#include "options/prune.h"

#endif  // VORN_OPTIONS_OPTIONS_H
