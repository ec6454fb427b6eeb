// Starting child programs, alone or as a pipe-connected pipeline, and
// collecting their exit statuses and processor times.
#ifndef VORN_SUPPORT_PROCESS_RUNNER_H
#define VORN_SUPPORT_PROCESS_RUNNER_H

namespace vorn {

// Creation flags of a pipeline.
enum : int {
  PEX_RECORD_TIMES = 0x1,
  PEX_USE_PIPES = 0x2,
  // Keep the pipeline's temporary files at release.  Stages are always
  // joined through pipes, so a pipeline makes no temporary files of its own.
  PEX_SAVE_TEMPS = 0x4,
};

// Run flags of one command.
enum : int {
  PEX_LAST = 0x1,
  PEX_SEARCH = 0x2,
  PEX_SUFFIX = 0x4,
  PEX_STDERR_TO_STDOUT = 0x8,
  PEX_BINARY_INPUT = 0x10,
  PEX_BINARY_OUTPUT = 0x20,
  PEX_STDERR_TO_PIPE = 0x40,
  PEX_BINARY_ERROR = 0x80,
  PEX_STDOUT_APPEND = 0x100,
  PEX_STDERR_APPEND = 0x200,
};

// Processor times of one child, from its resource usage.
struct PexTime {
  unsigned long user_seconds = 0;
  unsigned long user_microseconds = 0;
  unsigned long system_seconds = 0;
  unsigned long system_microseconds = 0;
};

// Opaque: one command or a pipe-connected sequence of commands.
struct ProcessPipeline;

// Never fails; running out of memory takes the out-of-memory exit.
// PROGRAM_NAME names the caller in a child's exec-failure message;
// TEMP_BASE may be null.
ProcessPipeline* pex_create(int flags, const char* program_name, const char* temp_base);

// Starts one command.  ARGV is complete (program name first) and ends with a
// null entry; ENV null means "inherit"; OUTNAME and ERRNAME may be null.
// Returns null on success, or a static failure text with *ERR set to the
// system error number (0 when the failure is not a system error).  A
// non-last command needs PEX_USE_PIPES.  When the descriptors could not be
// set up the pipeline is unchanged; when the program could not be started
// (vfork or exec failed) the command's input is used up as if it had run.
const char* pex_start(ProcessPipeline* pipeline, int flags, const char* executable,
                      char* const* argv, char* const* env, const char* outname, const char* errname,
                      int* err);

// Waits for every child not waited for yet, then copies the first COUNT raw
// wait statuses (in start order) into STATUSES; positions beyond the number
// of children are filled with 0.  False when a wait failed, with errno
// telling why; that child's status is 0, and it is still reaped when it is
// ours, so that it does not outlive the caller.
bool pex_get_status(ProcessPipeline* pipeline, int count, int* statuses);

// Like pex_get_status for time records; false without PEX_RECORD_TIMES.
bool pex_collect_times(ProcessPipeline* pipeline, int count, PexTime* times);

// Read end of the standard-error pipe of a command started with
// PEX_STDERR_TO_PIPE, or -1.  The pipeline keeps ownership.
int pex_stderr_pipe(ProcessPipeline* pipeline);

// Kills (SIGTERM) and reaps children never waited for, closes the
// pipeline's descriptors and frees the pipeline.
void pex_release(ProcessPipeline* pipeline);

// Runs one command in a pipeline of its own and stores its raw wait status
// in *STATUS.  Returns null on success, or a failure text with *ERR set.
const char* pex_run_single(int flags, const char* executable, char* const* argv,
                           const char* program_name, const char* outname, const char* errname,
                           int* status, int* err);

}  // namespace vorn

#endif  // VORN_SUPPORT_PROCESS_RUNNER_H
