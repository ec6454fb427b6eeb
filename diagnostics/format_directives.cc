// The format language of the pretty printer.  A message is formatted in
// three phases: the format string is split into literal chunks and one chunk
// per directive that takes an argument; the arguments are converted in slot
// order (which is what makes "%2$s %1$s" work with a C argument list); the
// chunks are written out, and only then do wrapping and the prefix apply.
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "diagnostics/check.h"
#include "diagnostics/colours.h"
#include "diagnostics/locale_and_quotes.h"
#include "diagnostics/pretty_printer.h"
#include "support/system_error.h"

namespace vorn {
namespace {

constexpr int kMaxChunks = 60;
constexpr int kMaxArguments = 30;

[[noreturn]] void format_fault() {
  VORN_CHECK_FAILED("pp_format");
}

struct Slot {
  int chunk = -1;
  // Takes only the precision of the next slot's "%.*s".
  bool is_precision = false;
  std::string spec;  // flags, precision and conversion
};

// Reads digits followed by "$"; returns the one-based number, 0 when there
// is none, and fails for digits without "$" (no widths in this language).
int read_argument_number(const char*& p) {
  if (!std::isdigit(static_cast<unsigned char>(*p))) return 0;
  long number = 0;
  while (std::isdigit(static_cast<unsigned char>(*p))) {
    number = number * 10 + (*p++ - '0');
    if (number > kMaxArguments) format_fault();
  }
  if (*p != '$' || number == 0) format_fault();
  ++p;
  return static_cast<int>(number);
}

}  // namespace

class MessageFormatter {
 public:
  // Formats into the chunk array on top of the printer's stack.
  MessageFormatter(PrettyPrinter& printer, MessageText& text)
      : printer_(printer), text_(text), chunks_(printer.store.chunk_stack.back().get()) {}

  void split();
  void convert();

 private:
  std::vector<std::string>& chunks() { return *chunks_; }
  void end_literal();
  void add_chunk(std::string text);
  void directive(const char*& p);
  int take_slot(int number);
  void convert_slot(const Slot& slot, int index);
  void convert_integer(char conversion, int long_count, bool wide, bool is_signed);
  void convert_string(bool quote, bool has_precision);
  void convert_int_array();
  void convert_event_id();

  PrettyPrinter& printer_;
  MessageText& text_;
  std::vector<std::string>* chunks_;
  std::string literal_;
  std::vector<Slot> slots_;
  int next_slot_ = 0;
  bool numbered_ = false;
  bool unnumbered_ = false;
  int precision_ = -1;
};

void MessageFormatter::add_chunk(std::string text) {
  if (static_cast<int>(chunks().size()) >= kMaxChunks) format_fault();
  chunks().push_back(std::move(text));
}

void MessageFormatter::end_literal() {
  if (literal_.empty()) return;
  add_chunk(std::move(literal_));
  literal_.clear();
}

int MessageFormatter::take_slot(int number) {
  int slot;
  if (number > 0) {
    numbered_ = true;
    slot = number - 1;
  } else {
    unnumbered_ = true;
    slot = next_slot_++;
  }
  if (numbered_ && unnumbered_) format_fault();
  if (slot >= kMaxArguments) format_fault();
  if (slot >= static_cast<int>(slots_.size())) slots_.resize(slot + 1);
  if (slots_[slot].chunk >= 0) format_fault();
  return slot;
}

void MessageFormatter::directive(const char*& p) {
  int number = read_argument_number(p);
  std::string spec;
  while (*p != '\0' && std::strchr("qwl+#", *p) != nullptr) spec += *p++;
  int precision_slot = -1;
  if (*p == '.') {
    spec += *p++;
    if (*p == '*') {
      spec += *p++;
      int precision_number = read_argument_number(p);
      if (number > 0 && precision_number != number - 1) format_fault();
      precision_slot = take_slot(precision_number);
    } else {
      if (!std::isdigit(static_cast<unsigned char>(*p))) format_fault();
      while (std::isdigit(static_cast<unsigned char>(*p))) spec += *p++;
    }
    if (*p != 's') format_fault();
  }
  if (*p == '\0') format_fault();
  spec += *p++;

  int slot = take_slot(number);
  end_literal();
  add_chunk(std::string());
  int chunk = static_cast<int>(chunks().size()) - 1;
  if (precision_slot >= 0) slots_[precision_slot] = Slot{chunk, true, std::string()};
  slots_[slot] = Slot{chunk, false, std::move(spec)};
}

void MessageFormatter::split() {
  for (const char* p = text_.format; *p != '\0';) {
    if (*p != '%') {
      literal_ += *p++;
      continue;
    }
    ++p;
    bool colour = printer_.colour_on;
    switch (*p) {
      case '\0':
        format_fault();
      case '%':
        literal_ += '%';
        break;
      case '\'':
        literal_ += closing_mark();
        break;
      case '<':
        literal_ += opening_mark();
        literal_ += colour_start(colour, "quote");
        break;
      case '>':
        literal_ += colour_stop(colour);
        literal_ += closing_mark();
        break;
      case 'R':
        literal_ += colour_stop(colour);
        break;
      case 'm':
        ensure_message_locale();  // strerror speaks the message locale
        literal_ += system_error_text(text_.saved_errno);
        break;
      case '}':
        literal_ += printer_.end_url_string();
        break;
      default:
        directive(p);
        continue;
    }
    ++p;
  }
  end_literal();
  // A message without text still gets a chunk, so that its prefix is
  // written when it is output.
  if (chunks().empty()) add_chunk(std::string());
  // Every slot up to the highest one must be used, or the arguments after a
  // gap could not be found in the argument list.
  for (const Slot& slot : slots_) {
    if (slot.chunk < 0) format_fault();
  }
}

void MessageFormatter::convert() {
  for (int i = 0; i < static_cast<int>(slots_.size()); ++i) {
    const Slot& slot = slots_[i];
    if (slot.is_precision) {
      precision_ = va_arg(*text_.args, int);
      continue;
    }
    printer_.out_ = &chunks()[slot.chunk];
    convert_slot(slot, i);
  }
}

void MessageFormatter::convert_slot(const Slot& slot, int index) {
  int quotes = 0, long_count = 0, wide = 0, plus = 0, hash = 0;
  const char* p = slot.spec.c_str();
  for (;; ++p) {
    if (*p == 'q') {
      ++quotes;
    } else if (*p == 'l') {
      ++long_count;
    } else if (*p == 'w') {
      ++wide;
    } else if (*p == '+') {
      ++plus;
    } else if (*p == '#') {
      ++hash;
    } else {
      break;
    }
  }
  if (quotes > 1 || long_count > 2 || wide > 1 || plus > 1 || hash > 1) format_fault();
  if (wide && long_count) format_fault();
  bool has_precision = *p == '.';
  if (has_precision && std::isdigit(static_cast<unsigned char>(p[1]))) {
    long digits = std::strtol(p + 1, nullptr, 10);  // "%.Ns"
    precision_ = digits > INT_MAX ? INT_MAX : static_cast<int>(digits);
  }
  while (*p == '.' || *p == '*' || std::isdigit(static_cast<unsigned char>(*p))) ++p;
  bool quote = quotes == 1;
  char conversion = *p;

  switch (conversion) {
    case 'c': {
      char c = static_cast<char>(va_arg(*text_.args, int));
      if (quote) {
        printer_.append_quoted(&c, 1);
      } else {
        printer_.append_char(c);
      }
      break;
    }
    case 'd':
    case 'i':
      convert_integer(conversion, long_count, wide, true);
      break;
    case 'u':
    case 'o':
    case 'x':
      convert_integer(conversion, long_count, wide, false);
      break;
    case 'f': {
      char buffer[512];
      std::snprintf(buffer, sizeof buffer, "%f", va_arg(*text_.args, double));
      printer_.append_string(buffer);
      break;
    }
    case 'p': {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%p", va_arg(*text_.args, void*));
      printer_.append_string(buffer);
      break;
    }
    case 's':
      convert_string(quote, has_precision);
      break;
    case 'r':
      printer_.append_string(colour_start(printer_.colour_on, va_arg(*text_.args, const char*)));
      break;
    case '{': {
      const char* url = va_arg(*text_.args, const char*);
      printer_.begin_url(url != nullptr ? url : "");
      break;
    }
    case '@':
      convert_event_id();
      break;
    case 'Z':
      convert_int_array();
      break;
    default: {
      if (printer_.extra_directive_hook == nullptr) format_fault();
      ExtraDirective request{slot.spec.c_str(), conversion, long_count, wide != 0, plus != 0,
                             hash != 0,         &quote,     index,      text_.args};
      if (!printer_.extra_directive_hook(printer_, request)) format_fault();
      break;
    }
  }

  if (quote) {
    // Each argument has a chunk of its own, so the opening mark can be put in
    // front once the decoder has had its say about quoting.
    std::string converted = std::move(*printer_.out_);
    printer_.out_->clear();
    printer_.begin_quote();
    printer_.out_->append(converted);
    printer_.end_quote();
  }
}

void MessageFormatter::convert_integer(char conversion, int long_count, bool wide, bool is_signed) {
  char buffer[64];
  char format[8] = {'%'};
  int length = 1;
  if (wide && conversion == 'x') format[length++] = '#';
  for (int i = 0; i < (wide ? 1 : long_count); ++i) format[length++] = 'l';
  format[length++] = conversion == 'i' ? 'd' : conversion;
  format[length] = '\0';
  // The host's wide integer is 64 bits, printed as a long.
  if (wide) {
    if (is_signed) {
      std::snprintf(buffer, sizeof buffer, format,
                    static_cast<long>(va_arg(*text_.args, std::int64_t)));
    } else {
      std::snprintf(buffer, sizeof buffer, format,
                    static_cast<unsigned long>(va_arg(*text_.args, std::uint64_t)));
    }
  } else if (long_count == 2) {
    if (is_signed) {
      std::snprintf(buffer, sizeof buffer, format, va_arg(*text_.args, long long));
    } else {
      std::snprintf(buffer, sizeof buffer, format, va_arg(*text_.args, unsigned long long));
    }
  } else if (long_count == 1) {
    if (is_signed) {
      std::snprintf(buffer, sizeof buffer, format, va_arg(*text_.args, long));
    } else {
      std::snprintf(buffer, sizeof buffer, format, va_arg(*text_.args, unsigned long));
    }
  } else if (is_signed) {
    std::snprintf(buffer, sizeof buffer, format, va_arg(*text_.args, int));
  } else {
    std::snprintf(buffer, sizeof buffer, format, va_arg(*text_.args, unsigned int));
  }
  printer_.append_string(buffer);
}

void MessageFormatter::convert_string(bool quote, bool has_precision) {
  const char* text = va_arg(*text_.args, const char*);
  // A missing string is a caller's fault, but not one worth a crash while
  // reporting some other problem.
  if (text == nullptr) text = "(null)";
  if (has_precision) {
    std::size_t length =
        precision_ < 0 ? std::strlen(text) : strnlen(text, static_cast<std::size_t>(precision_));
    precision_ = -1;
    printer_.out_->append(text, length);
  } else if (quote) {
    printer_.append_quoted(text);
  } else {
    printer_.append_string(text);
  }
}

void MessageFormatter::convert_int_array() {
  const int* values = va_arg(*text_.args, const int*);
  unsigned count = va_arg(*text_.args, unsigned);
  char buffer[16];
  for (unsigned i = 0; i < count; ++i) {
    if (i > 0) printer_.append_string(", ");
    std::snprintf(buffer, sizeof buffer, "%i", values[i]);
    printer_.append_string(buffer);
  }
}

void MessageFormatter::convert_event_id() {
  const auto* id = va_arg(*text_.args, const DiagnosticEventId*);
  if (id == nullptr || !id->known()) format_fault();
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "(%i)", id->index + 1);
  printer_.append_string(colour_start(printer_.colour_on, "path"));
  printer_.append_string(buffer);
  printer_.append_string(colour_stop(printer_.colour_on));
}

void PrettyPrinter::format(MessageText& text) {
  store.chunk_stack.push_back(std::make_unique<std::vector<std::string>>());
  MessageFormatter formatter(*this, text);
  formatter.split();

  // Converted arguments go to their chunks, unwrapped and unprefixed: the
  // line they end up on is decided when the chunks are written out.
  std::string* saved_out = out_;
  int saved_wrap_width = wrap_width_;
  PrefixMode saved_mode = prefix_mode_;
  int saved_line_length = store.current_line_length;
  bool saved_converting = converting_;
  if (!converting_) {
    saved_wrap_width_ = wrap_width_;
    saved_prefix_mode_ = prefix_mode_;
    saved_line_length_ = store.current_line_length;
  }
  wrap_width_ = 0;
  prefix_mode_ = PrefixMode::kNever;
  converting_ = true;

  formatter.convert();
  if (after_conversion_hook != nullptr) after_conversion_hook(*this);

  out_ = saved_out;
  wrap_width_ = saved_wrap_width;
  prefix_mode_ = saved_mode;
  store.current_line_length = saved_line_length;
  converting_ = saved_converting;
  // A new message starts its prefix afresh.
  prefix_written = false;
  continuation_indent = 0;
}

void PrettyPrinter::abandon_formatting() {
  store.chunk_stack.clear();
  out_ = &store.text;
  if (!converting_) return;
  converting_ = false;
  wrap_width_ = saved_wrap_width_;
  prefix_mode_ = saved_prefix_mode_;
  store.current_line_length = saved_line_length_;
}

void PrettyPrinter::output_formatted_text() {
  if (converting_ || store.chunk_stack.empty()) VORN_CHECK_FAILED("pp_output_formatted_text");
  std::unique_ptr<std::vector<std::string>> chunks = std::move(store.chunk_stack.back());
  store.chunk_stack.pop_back();
  for (const std::string& chunk : *chunks) append_string(chunk);
}

void PrettyPrinter::vprint(const char* format_string, va_list* args) {
  MessageText text{format_string, args, errno, nullptr};
  format(text);
  output_formatted_text();
}

void PrettyPrinter::print(const char* format_string, ...) {
  va_list args;
  va_start(args, format_string);
  vprint(format_string, &args);
  va_end(args);
}

void PrettyPrinter::vverbatim(const char* format_string, va_list* args) {
  int saved_wrap_width = wrap_width_;
  PrefixMode saved_mode = prefix_mode_;
  wrap_width_ = 0;
  prefix_mode_ = PrefixMode::kNever;
  vprint(format_string, args);
  wrap_width_ = saved_wrap_width;
  prefix_mode_ = saved_mode;
}

void PrettyPrinter::verbatim(const char* format_string, ...) {
  va_list args;
  va_start(args, format_string);
  vverbatim(format_string, &args);
  va_end(args);
}

}  // namespace vorn
