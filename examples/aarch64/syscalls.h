// The AArch64 Linux system calls the program makes (qemu-aarch64 serves
// them); greet.s, plain assembler source, writes the number itself.
#ifndef SYSCALLS_H
#define SYSCALLS_H
#define SYS_write 64
#define SYS_exit 93
#endif
