// The spec language: the switch table and input list that specs read, the
// interpreter, conditional groups, spec functions and the named specs.
#ifndef VORN_SPECS_SPECS_H
#define VORN_SPECS_SPECS_H

#include "specs/named_specs.h"
#include "specs/spec_functions.h"
#include "specs/spec_groups.h"
#include "specs/spec_hooks.h"
#include "specs/spec_interpreter.h"
#include "specs/switches.h"

#endif  // VORN_SPECS_SPECS_H
