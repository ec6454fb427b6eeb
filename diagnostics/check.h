// Internal consistency failures of the diagnostics layer and its clients.
#ifndef VORN_DIAGNOSTICS_CHECK_H
#define VORN_DIAGNOSTICS_CHECK_H

namespace vorn {

// Reports "in FUNCTION, at FILE:LINE" as an internal error (status 4), with
// FILE shortened by trim_source_path.
[[noreturn]] void check_failed(const char* function, const char* file, int line);

// Shortens a source path for an internal-error message: leading "../" parts
// and the source root are dropped, and so is "diagnostics/" ("options/
// decode.cc" for another directory, a bare file name for this layer's own
// files), whether the build names files by absolute or relative paths.
const char* trim_source_path(const char* path);

}  // namespace vorn

#define VORN_CHECK_FAILED(function) ::vorn::check_failed(function, __FILE__, __LINE__)

#endif  // VORN_DIAGNOSTICS_CHECK_H
