#!/usr/bin/env bash
# Answers whether this host can execute 32-bit x86 code, by trying it: some kernels run
# with IA-32 emulation off, and then no 32-bit program starts, Wine's 32-bit loader included.
# Exits 0 if it can; otherwise prints why not and exits 1.
set -uo pipefail
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
# The smallest i386 Linux program: an ELF header, one program header, and exit(0).
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\061\333\270\001\000\000\000\315\200' >"$probe"
chmod +x "$probe"
if ! why=$("$probe" 2>&1); then
    echo "this host cannot run 32-bit x86 code (${why##*: })"
    exit 1
fi
