// A tiny assembly file for the archive demonstration.
	.text
	.globl	greet
greet:
	ret
