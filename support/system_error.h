// Text of a system error number.
#ifndef VORN_SUPPORT_SYSTEM_ERROR_H
#define VORN_SUPPORT_SYSTEM_ERROR_H

namespace vorn {

// The C library's text for ERRNUM, or "undocumented error #ERRNUM" when it
// has none.  The result stays valid until the next call.
const char* system_error_text(int errnum);

// The C library's untranslated description of ERRNUM, or null when it has
// none.  Safe between vfork and exec: it only reads a constant table.
const char* system_error_description(int errnum);

}  // namespace vorn

#endif  // VORN_SUPPORT_SYSTEM_ERROR_H
