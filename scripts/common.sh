# Helpers of the test and run commands (sourced).

# kv_fail <what> <why>: the one line that says which step failed and why.
kv_fail() {
    echo "FAILED: $1: $2" >&2
}

# kv_quiet <what> <command...>: runs a step whose output only matters when it
# fails; then the failure line names the step and its last line of output,
# and the rest of the output follows for whoever needs it.
kv_quiet() {
    local what="$1"; shift
    local log status
    log="$(mktemp "${TMPDIR:-/tmp}/kv-step.XXXXXX")"
    "$@" >"$log" 2>&1
    status=$?
    if [ $status -ne 0 ]; then
        local last
        last="$(grep -v '^[[:space:]]*$' "$log" | tail -n 1)"
        kv_fail "$what" "exit $status${last:+: $last}"
        echo "---- last lines of its output:" >&2
        tail -n 25 "$log" >&2
        echo "----" >&2
    fi
    rm -f "$log"
    return $status
}

# kv_can_run_32bit: true when this machine runs 32-bit x86 programs. Some
# kernels refuse them outright ("Exec format error"); the 32-bit Wine can't
# start there. The probe is a 95-byte static i386 program that only exits with
# 42, written out here so that it needs no 32-bit library; a time limit keeps
# a stuck binfmt emulator from hanging the run. A kernel that hands i386
# programs to an emulator (qemu through binfmt_misc) counts as refusing them:
# 32-bit Wine runs there, but a hundred times too slowly for the suite.
kv_can_run_32bit() {
    local probe status entry
    for entry in /proc/sys/fs/binfmt_misc/qemu-i386 /proc/sys/fs/binfmt_misc/qemu-i486; do
        [ -f "$entry" ] && head -n 1 "$entry" 2>/dev/null | grep -qx enabled && return 1
    done
    probe="$(mktemp "${TMPDIR:-/tmp}/kv-i386.XXXXXX")"
    # ELF header, one loadable segment, then: mov eax,1; xor ebx,ebx; mov bl,42; int 0x80
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x5f\x00\x00\x00\x5f\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\x31\xdb\xb3\x2a\xcd\x80' >"$probe"
    chmod +x "$probe"
    timeout 10 "$probe" >/dev/null 2>&1
    status=$?
    rm -f "$probe"
    [ $status -eq 42 ]
}
