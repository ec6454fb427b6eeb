// One message on its way to the pretty printer: the translated format, its
// arguments and the errno value of the moment the message was made.
#ifndef VORN_DIAGNOSTICS_MESSAGE_TEXT_H
#define VORN_DIAGNOSTICS_MESSAGE_TEXT_H

#include <cstdarg>

namespace vorn {

struct MessageText {
  const char* format = nullptr;
  // The caller's argument list; formatting consumes it.
  va_list* args = nullptr;
  // errno when the message was made, so that "%m" names the failure that
  // caused it even if later calls changed errno.
  int saved_errno = 0;
  void* scratch = nullptr;
};

// An event of a diagnostic path, as "%@" prints it: "(N)" with N one-based.
struct DiagnosticEventId {
  int index = -1;  // zero-based; -1 while the event is not known
  bool known() const { return index >= 0; }
};

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_MESSAGE_TEXT_H
