# Sourced by the scripts that run the Windows program: which builds this host can run.
# runnable_builds prints "x86 x64", or "x64" alone (saying why on standard error) where the
# host cannot run 32-bit code. require_runnable ARCH fails with the reason if it cannot run ARCH.

runnable_builds() {
    local why
    if why=$(scripts/host-runs-x86.sh); then
        echo "x86 x64"
    else
        echo "$why: using the x64 build." >&2
        echo x64
    fi
}

require_runnable() {
    case $1 in
        x64) ;;
        x86) local why
             why=$(scripts/host-runs-x86.sh) || { echo "--arch x86: $why." >&2; exit 2; } ;;
        *) echo "--arch must be x86 or x64, not '$1'" >&2; exit 2 ;;
    esac
}

# Configures and builds the Windows build of ARCH.
build_windows() {
    cmake --preset "windows-$1" >/dev/null
    cmake --build --preset "windows-$1"
}
