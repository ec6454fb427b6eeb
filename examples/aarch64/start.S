// The entry point of a freestanding program: no C library, no start files.
// It has greet (greet.s) print the greeting, then exits.
#include "syscalls.h"

// The exit status, 0 unless the command line defines another
// (-DEXIT_STATUS=N).
#ifndef EXIT_STATUS
#define EXIT_STATUS 0
#endif

	.text
	.global	_start
_start:
	bl	greet
#ifdef THEN_CALL
	bl	THEN_CALL	// a second function, named with -DTHEN_CALL=NAME
#endif
	mov	x0, #EXIT_STATUS
	mov	x8, #SYS_exit
	svc	#0
