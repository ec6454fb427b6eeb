#include "diagnostics/pretty_printer.h"

#include <cstring>

#include "diagnostics/colours.h"
#include "diagnostics/locale_and_quotes.h"
#include "diagnostics/urls.h"
#include "diagnostics/utf8.h"

namespace vorn {
namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

bool is_whitespace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

bool is_continuation_byte(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte >= 0x80 && byte <= 0xBF;
}

bool is_printable_ascii(unsigned char byte) {
  return byte >= 0x20 && byte <= 0x7E;
}

}  // namespace

PrettyPrinter::PrettyPrinter(int line_cutoff) : out_(&store.text) {
  set_line_cutoff(line_cutoff);
}

PrettyPrinter::PrettyPrinter(const PrettyPrinter& other)
    : extra_directive_hook(other.extra_directive_hook),
      after_conversion_hook(other.after_conversion_hook),
      convert_identifiers(other.convert_identifiers),
      colour_on(other.colour_on),
      link_style(other.link_style),
      prefix_mode_(other.prefix_mode_),
      out_(&store.text) {
  store.sink = other.store.sink;
  store.flush_on_request = other.store.flush_on_request;
  set_line_cutoff(other.requested_width_);
}

void PrettyPrinter::recompute_wrap_width() {
  wrap_width_ = requested_width_;
  if (requested_width_ <= 0 || prefix_mode_ != PrefixMode::kEveryLine) return;
  // With a prefix on every line, a long prefix would leave almost no room:
  // keep at least 32 columns for the text itself.
  int prefix_length = line_prefix_ ? static_cast<int>(line_prefix_->size()) : 0;
  if (requested_width_ - prefix_length < 32) wrap_width_ += 32;
}

void PrettyPrinter::set_line_cutoff(int width) {
  requested_width_ = width;
  recompute_wrap_width();
}

void PrettyPrinter::set_prefix_mode(PrefixMode mode) {
  prefix_mode_ = mode;
  recompute_wrap_width();
}

void PrettyPrinter::set_prefix(std::optional<std::string> prefix) {
  line_prefix_ = std::move(prefix);
  recompute_wrap_width();
  prefix_written = false;
  continuation_indent = 0;
}

std::optional<std::string> PrettyPrinter::take_prefix() {
  std::optional<std::string> prefix = std::move(line_prefix_);
  line_prefix_.reset();
  return prefix;
}

void PrettyPrinter::append_raw(const char* start, const char* end) {
  for (const char* p = start; p < end; ++p) {
    if (*p == '\n') {
      store.current_line_length = 0;
    } else {
      ++store.current_line_length;
    }
  }
  out_->append(start, end);
}

void PrettyPrinter::emit_prefix() {
  if (!line_prefix_ || prefix_mode_ == PrefixMode::kNever) return;
  if (prefix_mode_ == PrefixMode::kOnce) {
    if (prefix_written) {
      indent(continuation_indent);
      return;
    }
    continuation_indent += 3;
  }
  append_raw(line_prefix_->data(), line_prefix_->data() + line_prefix_->size());
  prefix_written = true;
}

// While wrapping, the text comes in runs without blanks: the blank between
// two runs is written on its own and is never the first thing on a new line.
void PrettyPrinter::append_text(const char* start, const char* end) {
  if (store.current_line_length == 0) emit_prefix();
  append_raw(start, end);
}

void PrettyPrinter::wrap_text(const char* start, const char* end) {
  while (start < end) {
    const char* run_end = start;
    while (run_end < end && !is_blank(*run_end) && *run_end != '\n') ++run_end;
    // A run that does not fit starts a new line, unless the line is still
    // empty: a word longer than the width is never split and never gets a
    // line of its own preceded by an empty one.
    if (store.current_line_length > 0 && run_end - start >= remaining_room()) {
      newline();
    }
    append_text(start, run_end);
    start = run_end;
    if (start < end && is_blank(*start)) {
      append_char(' ');
      ++start;
    }
    if (start < end && *start == '\n') {
      newline();
      ++start;
    }
  }
}

void PrettyPrinter::maybe_wrap_text(const char* start, const char* end) {
  if (wrapping()) {
    wrap_text(start, end);
  } else {
    append_text(start, end);
  }
}

void PrettyPrinter::append_string(std::string_view text) {
  maybe_wrap_text(text.data(), text.data() + text.size());
}

void PrettyPrinter::append_char(char c) {
  if (wrapping() && !is_continuation_byte(c) && remaining_room() <= 0) {
    newline();
    if (is_whitespace(c)) return;
  }
  append_raw(&c, &c + 1);
}

void PrettyPrinter::append_quoted(const char* text, std::size_t length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  std::size_t run_start = 0;
  std::size_t i = 0;
  auto flush_run = [&] {
    if (i > run_start) maybe_wrap_text(text + run_start, text + i);
  };
  while (i < length) {
    unsigned char byte = bytes[i];
    if (is_printable_ascii(byte)) {
      ++i;
      continue;
    }
    std::uint32_t code_point;
    std::size_t char_length =
        byte >= 0x80 ? decode_utf8_char(bytes + i, length - i, &code_point) : 0;
    if (char_length > 0) {
      i += char_length;
      continue;
    }
    flush_run();
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    maybe_wrap_text(escape, escape + 4);
    run_start = ++i;
  }
  flush_run();
}

void PrettyPrinter::append_quoted(const char* text) {
  append_quoted(text, std::strlen(text));
}

void PrettyPrinter::newline() {
  out_->push_back('\n');
  line_pending = false;
  store.current_line_length = 0;
}

void PrettyPrinter::indent(int count) {
  for (int i = 0; i < count; ++i) append_char(' ');
}

void PrettyPrinter::flush() {
  prefix_written = false;
  continuation_indent = 0;
  if (!store.flush_on_request) return;
  std::fwrite(store.text.data(), 1, store.text.size(), store.sink);
  store.text.clear();
  std::fflush(store.sink);
}

void PrettyPrinter::newline_and_flush() {
  newline();
  flush();
  line_pending = false;
}

void PrettyPrinter::begin_quote() {
  append_string(opening_mark());
  append_string(colour_start(colour_on, "quote"));
}

void PrettyPrinter::end_quote() {
  append_string(colour_stop(colour_on));
  append_string(closing_mark());
}

void PrettyPrinter::begin_url(const char* url) {
  const char* prefix = url_start_prefix(link_style);
  if (*prefix == '\0') return;
  append_string(prefix);
  append_string(url);
  append_string(url_start_suffix(link_style));
}

const char* PrettyPrinter::end_url_string() const {
  return url_end(link_style);
}

}  // namespace vorn
