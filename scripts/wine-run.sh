#!/usr/bin/env bash
# Runs COMMAND with 32-bit Windows programs runnable through `wine`:
#   scripts/wine-run.sh PREFIX COMMAND [ARGS...]
# PREFIX is a wine prefix made anew for this run (keep it under a build
# folder); COMMAND runs with WINEPREFIX, WINEDEBUG=-all and the route's
# environment set, and calls `wine PROGRAM.exe ...` itself, sending wine's
# output to files (never through a pipe or $(...): wine's background
# processes keep pipes open). At the end the prefix's wineserver is stopped.
#
# Route: wine directly where this kernel runs 32-bit programs, otherwise
# wine's 32-bit loader under qemu-i386 (Debian bookworm-backports' qemu-user;
# 7.2 is far too slow) through a binfmt_misc entry with the F flag. On kernels
# 6.7 and later that entry lives in a private binfmt_misc of a user + mount
# namespace; on older ones it is registered machine-wide, which needs root.
# MORVELIN_WINE_ROUTE=native|qemu forces a route. Failing routes stop with a
# message naming what is missing: nothing is skipped.
set -euo pipefail
if [ $# -lt 2 ]; then echo "usage: scripts/wine-run.sh PREFIX COMMAND [ARGS...]" >&2; exit 2; fi
prefix=$1
shift

fail() { echo "wine-run: $*" >&2; exit 1; }

loader=/usr/lib/wine/wine
[ -x "$loader" ] || fail "$loader is missing: install wine32:i386 (bash scripts/install-deps.sh)"
command -v wine >/dev/null || fail "wine is missing (bash scripts/install-deps.sh)"

native_works() { "$loader" --version >/dev/null 2>&1; }

route=${MORVELIN_WINE_ROUTE:-}
if [ -z "$route" ]; then
  if native_works; then route=native; else route=qemu; fi
fi

mkdir -p "$(dirname "$prefix")"
rm -rf "$prefix"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
stop_server() { wineserver -k >/dev/null 2>&1 || true; }
# Makes the prefix before COMMAND runs, so that wine's first-start messages
# land in PREFIX.log and not in COMMAND's output files.
make_prefix() { wine wineboot --init >"$prefix.log" 2>&1 || fail "wine could not make its prefix; see $prefix.log"; }

case "$route" in
  native)
    native_works || fail "MORVELIN_WINE_ROUTE=native, but this kernel cannot run the 32-bit $loader (Exec format error): use the qemu route"
    echo "wine-run: route native ($(uname -r))"
    trap stop_server EXIT
    make_prefix
    "$@"
    ;;
  qemu)
    qemu=/usr/bin/qemu-i386
    [ -x "$qemu" ] || fail "$qemu is missing: install qemu-user from bookworm-backports (bash scripts/install-deps.sh)"
    major=$("$qemu" --version | sed -nE 's/^qemu-i386 version ([0-9]+).*/\1/p')
    [ "${major:-0}" -ge 8 ] || fail "$qemu is version ${major:-unknown}; wine under it needs bookworm-backports' qemu-user (bash scripts/install-deps.sh)"
    # binfmt_misc magic and mask of i386 ELF executables and shared objects.
    entry=':morvelin-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F'
    kernel=$(uname -r)
    kmajor=${kernel%%.*}
    kminor=${kernel#*.}
    kminor=${kminor%%[!0-9]*}
    echo "wine-run: route qemu ($("$qemu" --version | head -n 1), kernel $kernel)"
    if [ "$kmajor" -gt 6 ] || { [ "$kmajor" -eq 6 ] && [ "$kminor" -ge 7 ]; }; then
      # A private binfmt_misc in new user and mount namespaces.
      command -v unshare >/dev/null || fail "unshare (util-linux) is missing"
      MORVELIN_BINFMT_ENTRY=$entry unshare --user --map-root-user --mount bash -c '
        set -e
        mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc ||
          { echo "wine-run: cannot mount a private binfmt_misc (unprivileged user namespaces off?)" >&2; exit 1; }
        printf "%s" "$MORVELIN_BINFMT_ENTRY" >/proc/sys/fs/binfmt_misc/register
        trap "wineserver -k >/dev/null 2>&1 || true" EXIT
        wine wineboot --init >"$WINEPREFIX.log" 2>&1 ||
          { echo "wine-run: wine could not make its prefix; see $WINEPREFIX.log" >&2; exit 1; }
        "$@"' wine-run "$@"
    else
      [ "$(id -u)" -eq 0 ] || fail "kernel $kernel (before 6.7) has no private binfmt_misc; registering it machine-wide needs root"
      binfmt=/proc/sys/fs/binfmt_misc
      [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" || fail "cannot mount $binfmt"
      [ -e "$binfmt/morvelin-i386" ] || printf '%s' "$entry" >"$binfmt/register" || fail "cannot register qemu-i386 in $binfmt"
      trap stop_server EXIT
      make_prefix
      "$@"
    fi
    ;;
  *) fail "MORVELIN_WINE_ROUTE must be native or qemu, not '$route'" ;;
esac
