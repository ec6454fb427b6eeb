// The pretty printer: formats messages with the diagnostic format language,
// accumulates the text, optionally wraps it under a prefix, and writes it to
// a stream on flush.
#ifndef VORN_DIAGNOSTICS_PRETTY_PRINTER_H
#define VORN_DIAGNOSTICS_PRETTY_PRINTER_H

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics/message_text.h"

namespace vorn {

class PrettyPrinter;

// How the line prefix is repeated when a message spans several lines.
enum class PrefixMode : int {
  kOnce = 0,       // first line only; continuation lines are indented
  kNever = 1,      // no prefix at all
  kEveryLine = 2,  // every line starts with the prefix
};

// A directive the format language does not know, handed to the client.
struct ExtraDirective {
  const char* spec;  // flags, precision and conversion, e.g. "qlD"
  char conversion;
  int long_count;
  bool wide;
  bool plus;
  bool hash;
  // In: the directive asked for quotes.  A decoder that quotes by itself
  // clears it so that the printer adds no quotation marks.
  bool* quote;
  int slot;  // zero-based argument slot
  va_list* args;
};

// Returns false to decline the directive (a fault in the format string).
using ExtraDirectiveHook = bool (*)(PrettyPrinter& printer, const ExtraDirective& directive);
// Runs once the arguments of a message have been converted.
using AfterConversionHook = void (*)(PrettyPrinter& printer);

// Text accumulated by a printer, and where it goes.
struct PrinterBuffer {
  // Formatted text not yet flushed.
  std::string text;
  // One array of chunks per message being formatted; a message formatted
  // while another is being converted gets its own array.
  std::vector<std::unique_ptr<std::vector<std::string>>> chunk_stack;
  std::FILE* sink = stderr;
  int current_line_length = 0;
  // False keeps flushed text in `text` (used to capture output).
  bool flush_on_request = true;
};

class PrettyPrinter {
 public:
  explicit PrettyPrinter(int line_cutoff = 0);
  // Copies the settings; the copy starts with no prefix and no text.
  PrettyPrinter(const PrettyPrinter& other);
  PrettyPrinter& operator=(const PrettyPrinter&) = delete;
  ~PrettyPrinter() = default;

  // Prefix and line width.
  void set_prefix(std::optional<std::string> prefix);
  std::optional<std::string> take_prefix();
  const std::optional<std::string>& prefix() const { return line_prefix_; }
  void set_line_cutoff(int width);
  void set_prefix_mode(PrefixMode mode);
  PrefixMode prefix_mode() const { return prefix_mode_; }
  int wrap_width() const { return wrap_width_; }
  int requested_width() const { return requested_width_; }
  bool wrapping() const { return wrap_width_ > 0; }

  // Formatting: split and convert (the first two phases), then output.
  void format(MessageText& text);
  void output_formatted_text();
  // Both at once, under the current wrapping and prefix.
  void print(const char* format, ...);
  void vprint(const char* format, va_list* args);
  // Both at once, with no prefix and no wrapping.
  void verbatim(const char* format, ...);
  void vverbatim(const char* format, va_list* args);

  // Plain output.
  void append_string(std::string_view text);
  void append_char(char c);
  // Printable ASCII and valid UTF-8 pass; every other byte becomes \xNN.
  void append_quoted(const char* text, std::size_t length);
  void append_quoted(const char* text);
  void newline();
  void space() { append_char(' '); }
  void indent(int count);

  // Ends the message: forgets the prefix state and writes the text out.
  void flush();
  void newline_and_flush();

  // Quotation marks with the "quote" colour inside them.
  void begin_quote();
  void end_quote();

  // Hyperlinks in the current link style.
  void begin_url(const char* url);
  const char* end_url_string() const;

  // Gives up a message whose formatting failed half-way (an internal error
  // raised while converting its arguments): the settings are restored and
  // its chunks dropped, so that the report of the failure can be printed.
  void abandon_formatting();
  // Whether a message has been formatted and not yet output.
  bool formatting() const { return !store.chunk_stack.empty(); }

  // The accumulated text (tests, and clients that capture output).
  const std::string& text() const { return store.text; }

  PrinterBuffer store;
  int continuation_indent = 0;
  ExtraDirectiveHook extra_directive_hook = nullptr;
  AfterConversionHook after_conversion_hook = nullptr;
  bool prefix_written = false;
  bool line_pending = false;
  bool convert_identifiers = true;
  bool colour_on = false;
  int link_style = 0;

 private:
  friend class MessageFormatter;

  void recompute_wrap_width();
  void emit_prefix();
  void append_raw(const char* start, const char* end);
  void append_text(const char* start, const char* end);
  void wrap_text(const char* start, const char* end);
  void maybe_wrap_text(const char* start, const char* end);
  int remaining_room() const { return wrap_width_ - store.current_line_length; }

  std::optional<std::string> line_prefix_;
  int wrap_width_ = 0;
  PrefixMode prefix_mode_ = PrefixMode::kOnce;
  int requested_width_ = 0;
  // Where text goes: the buffer, or a chunk while arguments are converted.
  std::string* out_;
  bool converting_ = false;
  // The settings in force before the outermost conversion began.
  int saved_wrap_width_ = 0;
  PrefixMode saved_prefix_mode_ = PrefixMode::kOnce;
  int saved_line_length_ = 0;
};

}  // namespace vorn

#endif  // VORN_DIAGNOSTICS_PRETTY_PRINTER_H
