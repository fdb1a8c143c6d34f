#!/bin/sh
# Exits 0 when this kernel runs 32-bit (i386) programs: some kernels are built without IA-32
# emulation, and there exec of any i386 program fails with ENOEXEC. A ten-byte program that only
# exits is assembled and run.
set -eu
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/p.s"
as --32 -o "$dir/p.o" "$dir/p.s"
ld -m elf_i386 -o "$dir/p" "$dir/p.o"
"$dir/p"
