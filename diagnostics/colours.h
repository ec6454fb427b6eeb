// Terminal colours: the table of named colours (which "VORN_COLORS" can
// override), their start and stop sequences, and the on/off decision.
#ifndef VORN_DIAGNOSTICS_COLOURS_H
#define VORN_DIAGNOSTICS_COLOURS_H

#include <array>
#include <cstddef>

namespace vorn {

// The modes shared by colours and hyperlinks; a negative mode means the
// default, which is auto.
enum OutputMode : int {
  kModeDefault = -1,
  kModeNever = 0,
  kModeAlways = 1,
  kModeAuto = 2,
};

// The start sequence of the named colour; empty when colour is off or the
// name (exactly LENGTH bytes) is not in the table.
const char* colour_start(bool colour_on, const char* name, std::size_t length);
const char* colour_start(bool colour_on, const char* name);

// ESC "[m" ESC "[K", or empty when colour is off.
const char* colour_stop(bool colour_on);

// Whether to colour, for MODE and the environment.  Reaching "always" (also
// through auto) applies "VORN_COLORS" to the table.
bool decide_colour(int mode);

// Applies VALUE as a "VORN_COLORS" list to the table.  Returns false for an
// empty value, which switches colour off.
bool apply_colour_settings(const char* value);

// Whether "TERM" is set and not "dumb" and standard error is a terminal:
// the test of the auto mode, for colours and hyperlinks alike.
bool stderr_is_terminal_session();

// The number of named colours ("error", "warning", ...).
inline constexpr std::size_t kNamedColourCount = 17;

// The sequences a run's "VORN_COLORS" gave the named colours, by the
// colour's place in the table; null where the default holds.  They are
// allocated, and owned here.
struct ColourOverrides {
  ColourOverrides() = default;
  ~ColourOverrides();
  ColourOverrides(const ColourOverrides&) = delete;
  ColourOverrides& operator=(const ColourOverrides&) = delete;

  std::array<char*, kNamedColourCount> sequences{};
};

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_COLOURS_H
