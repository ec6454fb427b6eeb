// Reading specs files.  The whole file is read into memory, line ends are
// normalised, and items are parsed one after another: directives ("%"
// lines), named specs ("*name:"), the link command and compiler entries.
#include "specs/specs_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics/diagnostic.h"
#include "diagnostics/intl.h"
#include "specs/compilers_table.h"
#include "specs/named_specs.h"
#include "specs/prefixes.h"
#include "specs/run_specs.h"
#include "support/whole_file.h"
#include "support/char_class.h"

namespace vorn {
namespace {

// Specs files nested deeper than this are taken for a runaway include
// chain; a real configuration nests two or three.
constexpr std::size_t kMaxIncludeDepth = 200;

// The files being read, outermost first: an include of one of them would
// never end.
std::vector<FileIdentity>& include_stack() {
  return run_specs().include_stack;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// Drops a carriage return next to a newline and turns a lone one into a
// newline, so that files written with any line-end convention read alike.
std::string normalise_line_ends(std::string_view raw) {
  std::string text;
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c != '\r') {
      text += c;
      continue;
    }
    bool before_newline = i + 1 < raw.size() && raw[i + 1] == '\n';
    bool after_newline = i > 0 && raw[i - 1] == '\n';
    if (!before_newline && !after_newline) text += '\n';
  }
  return text;
}

// Skips blanks, newlines and "#" comment lines.  With STOP_AT_EMPTY_LINE an
// empty line followed by another newline ends the skipping, which is how an
// item gets an empty body.
const char* skip_whitespace(const char* p, bool stop_at_empty_line) {
  for (;;) {
    if (stop_at_empty_line && p[0] == '\n' && p[1] == '\n' && p[2] == '\n') return p + 1;
    if (*p == '\n' || is_blank(*p)) {
      ++p;
    } else if (*p == '#') {
      while (*p != '\n' && *p != '\0') ++p;
      if (*p == '\n') ++p;
    } else {
      return p;
    }
  }
}

// The body text without backslash-newline pairs and without "#" comments
// (their newline stays).
std::string clean_body(const char* begin, const char* end) {
  std::string body;
  for (const char* p = begin; p < end;) {
    if (p[0] == '\\' && p + 1 < end && p[1] == '\n') {
      p += 2;
    } else if (*p == '#') {
      while (p < end && *p != '\n') ++p;
    } else {
      body += *p++;
    }
  }
  return body;
}

class SpecsFileReader {
 public:
  SpecsFileReader(const char* filename, std::string text, bool main_file, bool user, bool verbose)
      : filename_(filename),
        text_(std::move(text)),
        main_file_(main_file),
        user_(user),
        verbose_(verbose) {}

  void read();

 private:
  long position(const char* p) const { return static_cast<long>(p - text_.c_str()); }
  const char* directive(const char* p);
  const char* include(const char* after_word, bool report_missing);
  const char* rename(const char* after_word);
  [[noreturn]] void malformed_rename(const char* at) const;
  const char* item(const char* p);

  const char* filename_;
  std::string text_;
  bool main_file_;
  bool user_;
  bool verbose_;
};

void SpecsFileReader::read() {
  const char* p = text_.c_str();
  for (;;) {
    // Between items every empty line is skipped: only a body can be empty.
    p = skip_whitespace(p, false);
    if (*p == '\0') break;
    p = *p == '%' && !main_file_ ? directive(p) : item(p);
  }
  if (link_command_spec() == nullptr) {
    fatal_error(current_location, "spec file has no spec for linking");
  }
}

const char* SpecsFileReader::directive(const char* p) {
  const char* word_end = p;
  while (*word_end != '\0' && *word_end != '\n' && !is_blank(*word_end)) ++word_end;
  std::string_view word(p, word_end - p);
  if (word == "%include") return include(word_end, true);
  if (word == "%include_noerr") return include(word_end, false);
  if (word == "%rename") return rename(word_end);
  fatal_error(current_location, "specs unknown %% command after %ld characters", position(p));
}

// "%include <FILE>" and "%include_noerr <FILE>", with ">" ending the line.
const char* SpecsFileReader::include(const char* after_word, bool report_missing) {
  const char* q = after_word;
  bool well_formed = is_blank(*q);
  while (is_blank(*q)) ++q;
  well_formed = well_formed && *q == '<';
  const char* line_end = std::strchr(q, '\n');
  if (line_end == nullptr) line_end = q + std::strlen(q);
  well_formed = well_formed && line_end - q >= 2 && line_end[-1] == '>';
  if (!well_formed) {
    fatal_error(current_location, "specs %%include syntax malformed after %ld characters",
                position(q));
  }
  std::string name(q + 1, line_end - 1);
  char* found = locate_file(&search_paths().startfile_prefixes, name.c_str(), R_OK, true);
  if (found != nullptr) {
    load_specs_file(found, false, user_, verbose_);
    std::free(found);
  } else if (report_missing) {
    load_specs_file(name.c_str(), false, user_, verbose_);
  } else if (verbose_) {
    print_notice(stderr, "could not find specs file %s\n", name.c_str());
  }
  return *line_end == '\n' ? line_end + 1 : line_end;
}

void SpecsFileReader::malformed_rename(const char* at) const {
  fatal_error(current_location, "specs %%rename syntax malformed after %ld characters",
              position(at));
}

// "%rename OLD NEW": NEW takes OLD's text and OLD becomes empty.
const char* SpecsFileReader::rename(const char* after_word) {
  const char* q = after_word;
  if (!is_blank(*q)) malformed_rename(q);
  while (is_blank(*q)) ++q;
  ensure_ctype_locale();  // names may begin with any letter of the locale
  if (!std::isalpha(static_cast<unsigned char>(*q))) malformed_rename(q);
  const char* old_begin = q;
  while (*q != '\0' && *q != '\n' && !is_blank(*q)) ++q;
  if (!is_blank(*q)) malformed_rename(q);
  std::string old_name(old_begin, q);
  while (is_blank(*q)) ++q;
  if (!std::isalpha(static_cast<unsigned char>(*q))) malformed_rename(q);
  const char* new_begin = q;
  while (*q != '\0' && *q != '\n' && !is_blank(*q)) ++q;
  if (*q != '\0' && *q != '\n') malformed_rename(q);
  std::string new_name(new_begin, q);

  NamedSpec* old_spec = find_named_spec(old_name);
  if (old_spec == nullptr) {
    fatal_error(current_location, "specs %s spec was not found to be renamed", old_name.c_str());
  }
  if (old_name != new_name) {
    if (find_named_spec(new_name) != nullptr) {
      fatal_error(current_location, "%s: attempt to rename spec %qs to already defined spec %qs",
                  filename_, old_name.c_str(), new_name.c_str());
    }
    if (verbose_) {
      print_notice(stderr, "rename spec %s to %s\n", old_name.c_str(), new_name.c_str());
    }
    define_spec(new_name.c_str(), old_spec->text(), user_);
    // define_spec may have linked the list; look the old spec up again.
    old_spec = find_named_spec(old_name);
    *old_spec->value_slot = "";
    old_spec->owned = false;
  }
  return *q == '\n' ? q + 1 : q;
}

// NAME ":" BODY, the body running up to an empty line or the end.
const char* SpecsFileReader::item(const char* p) {
  const char* colon = p;
  while (*colon != '\0' && *colon != ':' && *colon != '\n') ++colon;
  if (*colon != ':') {
    fatal_error(current_location, "specs file malformed after %ld characters", position(colon));
  }
  const char* name_end = colon;
  while (name_end > p && is_blank(name_end[-1])) --name_end;
  std::string name(p, name_end);

  const char* body = skip_whitespace(colon + 1, true);
  if (body[0] == '\0' || body[1] == '\0') {
    fatal_error(current_location, "specs file malformed after %ld characters", position(body));
  }
  const char* end = body;
  while (*end != '\0' && !(end[0] == '\n' && (end[1] == '\n' || end[1] == '\0'))) ++end;
  std::string text = clean_body(body, end);

  if (name == "*link_command") {
    set_link_command_spec(keep_spec_text(std::move(text)));
  } else if (name[0] == '*') {
    define_spec(name.c_str() + 1, text.c_str(), user_);
  } else {
    add_compiler_entry(name.c_str(), text.c_str());
    if (name.empty()) set_link_command_spec(keep_spec_text(std::move(text)));
  }
  return *end == '\n' ? end + 1 : end;
}

[[noreturn]] void cannot_read(const char* filename) {
  fatal_error(current_location, "cannot read spec file %qs: %m", filename);
}

}  // namespace

void load_specs_text(const char* filename, std::string_view text, bool main_file, bool user,
                     bool verbose) {
  // The reader walks C strings: a NUL byte would end the file there and
  // drop the rest without a word.
  if (text.find('\0') != std::string_view::npos) {
    fatal_error(current_location, _("specs file %qs contains a NUL byte"), filename);
  }
  SpecsFileReader reader(filename, normalise_line_ends(text), main_file, user, verbose);
  reader.read();
}

void load_specs_file(const char* filename, bool main_file, bool user, bool verbose) {
  if (verbose) print_notice(stderr, "Reading specs from %s\n", filename);
  int fd = open(filename, O_RDONLY | O_CLOEXEC);
  if (fd < 0) cannot_read(filename);
  struct stat info;
  if (fstat(fd, &info) != 0) cannot_read(filename);
  std::string contents;
  WholeFileStatus status = read_whole_descriptor(fd, &contents);
  if (status == WholeFileStatus::kReadError) cannot_read(filename);
  close(fd);
  if (status == WholeFileStatus::kTooLarge) {
    fatal_error(current_location, _("specs file %qs is larger than %d MiB"), filename,
                static_cast<int>(kWholeFileLimit >> 20));
  }

  std::vector<FileIdentity>& stack = include_stack();
  for (const FileIdentity& open_file : stack) {
    if (open_file.device == info.st_dev && open_file.inode == info.st_ino) {
      fatal_error(current_location, "recursive inclusion of specs file %qs", filename);
    }
  }
  if (stack.size() >= kMaxIncludeDepth) {
    fatal_error(current_location, "specs files nested more than %d deep at %qs",
                static_cast<int>(kMaxIncludeDepth), filename);
  }
  stack.push_back(FileIdentity{info.st_dev, info.st_ino});
  struct PopOnExit {
    ~PopOnExit() { include_stack().pop_back(); }
  } pop;
  load_specs_text(filename, contents, main_file, user, verbose);
}

}  // namespace vorn
