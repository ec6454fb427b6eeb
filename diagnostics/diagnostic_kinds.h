// The kinds of diagnostic, with the text and colour each is printed with.
#ifndef VORN_DIAGNOSTICS_DIAGNOSTIC_KINDS_H
#define VORN_DIAGNOSTICS_DIAGNOSTIC_KINDS_H

namespace vorn {

enum class DiagnosticKind : int {
  kUnspecified = 0,
  kIgnored = 1,
  kFatal = 2,
  kInternalError = 3,
  kError = 4,
  kSorry = 5,
  kWarning = 6,
  kAnachronism = 7,
  kNote = 8,
  kDebug = 9,
  kPath = 10,
  kPedwarn = 11,
  kPermerror = 12,
  // Never printed: the counter of warnings that were printed as errors.
  kWarningAsError = 13,
  // An internal error whose report carries no backtrace (a child that died
  // of a signal: our own stack says nothing about it).
  kInternalErrorNoBacktrace = 14,
  kLastKind = 15,
};

// Number of kinds that have a counter (all but the end marker).
inline constexpr int kCountedKinds = 15;

// The untranslated text printed after the location, e.g. "error: ".  Kinds
// out of range give "must-not-happen".
const char* kind_text(DiagnosticKind kind);

// The colour-table name used for the kind text, or null for none.
const char* kind_colour_name(DiagnosticKind kind);

inline int kind_index(DiagnosticKind kind) {
  return static_cast<int>(kind);
}

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_DIAGNOSTIC_KINDS_H
