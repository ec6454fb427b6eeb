// Flushing the driver's own standard output.  A failed write loses the
// reason (errno) as soon as anything else runs, so the first failure of
// any flush is remembered here for the report at exit.
#ifndef VORN_SUPPORT_STANDARD_OUTPUT_H
#define VORN_SUPPORT_STANDARD_OUTPUT_H

namespace vorn {

// Flushes stdout (before a child writes to the same descriptor, say);
// false when something written to it so far was lost.  Meant to be called
// right after printing, so that errno still tells why an earlier write of
// the stream failed.
bool flush_standard_output();

// The errno of the first failed flush, or 0 when none failed (or the loss
// was seen only through the stream's error indicator).
int standard_output_errno();

}  // namespace vorn

#endif  // VORN_SUPPORT_STANDARD_OUTPUT_H
