// Internal consistency failures of the option machinery: an alias of an
// alias, a canonical form that cannot be built, an unexpected error
// combination.  They end the process as internal errors.
#ifndef VORN_OPTIONS_OPTION_ERRORS_H
#define VORN_OPTIONS_OPTION_ERRORS_H

namespace vorn {

[[noreturn]] void option_internal_error(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

}  // namespace vorn

#endif  // VORN_OPTIONS_OPTION_ERRORS_H
