// A tiny assembly file for the archive demonstration.
	.text
	.globl	farewell
farewell:
	ret
