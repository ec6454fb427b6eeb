// Writes "hello from AArch64" to standard output with the write system
// call (64: plain assembler source has no macros).
	.text
	.global	greet
greet:
	mov	x0, #1
	adrp	x1, message
	add	x1, x1, :lo12:message
	mov	x2, #(message_end - message)
	mov	x8, #64
	svc	#0
	ret

	.section .rodata
message:
	.ascii	"hello from AArch64\n"
message_end:
