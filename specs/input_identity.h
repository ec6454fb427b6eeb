// Whether a file the run is about to write is one of its inputs.  Every
// name the driver writes on the user's behalf (-o, the default output of a
// compile-only run, the dump names of -save-temps) goes through this one
// check, so that a hard link, a symbolic link or another spelling of an
// input is caught as surely as the input's own name.
#ifndef VORN_SPECS_INPUT_IDENTITY_H
#define VORN_SPECS_INPUT_IDENTITY_H

namespace vorn {

// The input of command_line().inputs that writing NAME would overwrite, or
// null.  An existing NAME matches an input that is the same regular file
// (device and inode); a NAME that does not exist matches an input of
// exactly that name.  Existing files that are not regular files (devices,
// pipes) never match: writing them destroys nothing.  Linker items and
// standard input ("-") are not files, and "-" as NAME is standard output.
const char* input_overwritten_by(const char* name);

}  // namespace vorn

#endif  // VORN_SPECS_INPUT_IDENTITY_H
