// vfork cannot be wrapped by an ordinary function: the child would return
// from the wrapper's frame and reuse that stack, and the parent, resumed in
// the same frame, would find it overwritten.  So vfork is a few instructions
// that ask the gate whether this call fails and, when it does not, jump to
// the C library's vfork with the caller's return address still in place.
#include <unistd.h>

#include "tests/faults/fault_control.h"

extern "C" {

__attribute__((visibility("hidden"))) void* vorn_fault_real_vfork = nullptr;

// Non-zero (errno set) when this call of vfork is the one to fail.
__attribute__((visibility("hidden"), used)) long vorn_fault_vfork_gate() {
  if (vorn_fault_real_vfork == nullptr) vorn_fault_real_vfork = fault::next_symbol("vfork");
  if (!fault::should_fail(fault::Family::kVfork, "vfork")) return 0;
  return fault::failed(1L);
}

}  // extern "C"

#if defined(__x86_64__)
asm(R"(
    .text
    .globl vfork
    .type vfork, @function
vfork:
    .cfi_startproc
    subq $8, %rsp
    .cfi_adjust_cfa_offset 8
    call vorn_fault_vfork_gate
    addq $8, %rsp
    .cfi_adjust_cfa_offset -8
    testq %rax, %rax
    jnz 1f
    jmp *vorn_fault_real_vfork(%rip)
1:
    movl $-1, %eax
    ret
    .cfi_endproc
    .size vfork, .-vfork
)");
#endif
// Elsewhere vfork is not interposed: its calls pass through uncounted.
