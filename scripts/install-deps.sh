#!/usr/bin/env bash
# Installs the Debian packages of the stages named, and only those:
#   scripts/install-deps.sh STAGE...
#   build     the morvelin tool and its PNG preview
#   test      the native test suite and its sanitizer build, the benchmarks
#   win       the cross build of Morvelin.aip and morvelin.exe
#   wine      wine (with the i386 architecture) and qemu-user, to run them
#   web       emscripten and Chromium, for the browser playground
#   inkscape  Inkscape and xvfb, for the extension's test
#   fuzz      clang and its libFuzzer runtime
#   corpus    what scripts/corpus.sh draws the drawings with
#   release   what scripts/release.sh packs and checks the release with
#   all       every stage
# Packages are looked up with dpkg-query; apt-get installs the missing ones.
# A failing package index does not stop the run: `apt-get update` is tried a
# few times, then apt goes on with the lists it has. Safe to run again; waits
# for another apt run to finish instead of failing on its lock.
#
# Exit codes: 0 everything the stages need is installed; 1 a package could
# not be installed although the package index could be read; 3 a package
# could not be installed and `apt-get update` had failed (the index itself is
# broken, which a later run may find mended). Both failures print one line
# per package: the package, the stage that needs it and apt's own reason.
#
# MORVELIN_APT_STAMP names a file that records a successful `apt-get update`,
# so that one test run updates the lists once, not once per stage.
set -euo pipefail

usage() { echo "usage: scripts/install-deps.sh build|test|win|wine|web|inkscape|fuzz|corpus|release|all..." >&2; exit 2; }
[ $# -gt 0 ] || usage

stage_packages() {  # stage -> its packages, one word each
  case "$1" in
    build) echo build-essential cmake pkg-config libpolyclipping-dev libpugixml-dev libcli11-dev \
      libfast-float-dev libfmt-dev zlib1g-dev librsvg2-dev libcairo2-dev ;;
    test) echo googletest libgtest-dev libbenchmark-dev libgeos-dev binutils-mingw-w64-i686 \
      python3 python3-pefile ;;
    win) echo g++-mingw-w64-i686 binutils-mingw-w64-i686 libcli11-dev libfast-float-dev libfmt-dev dpkg-dev ;;
    wine) echo wine wine32:i386 wine64 qemu-user python3 python3-numpy ;;
    web) echo emscripten node-acorn chromium binutils-mingw-w64-i686 libfast-float-dev libfmt-dev dpkg-dev ;;
    inkscape) echo inkscape xvfb xauth python3 python3-lxml ;;
    fuzz) echo clang libclang-rt-14-dev ;;
    corpus) echo fonts-dejavu-core gzip ;;
    release) echo dpkg-dev lintian python3 python3-pefile gzip ;;
    *) return 1 ;;
  esac
}

stages=()
for stage in "$@"; do
  if [ "$stage" = all ]; then
    stages+=(build test win wine web inkscape fuzz corpus release)
  elif stage_packages "$stage" >/dev/null; then
    stages+=("$stage")
  else
    usage
  fi
done

export DEBIAN_FRONTEND=noninteractive
apt_options=(-o DPkg::Lock::Timeout=1800 -o APT::Get::List-Cleanup=false)
note() { echo "install-deps: $*"; }

# --- what the stages need beyond packages ----------------------------------
lists_changed=0
# Debian's source index, for `apt-get source` of the libraries the Win32 host
# and the WebAssembly build compile from (scripts/win-deps.sh, web-sources.sh).
add_deb_src() {
  if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      >/etc/apt/sources.list.d/morvelin-src.sources
    lists_changed=1
  fi
}
# bookworm-backports for qemu-user: wine's 32-bit loader runs under qemu-i386
# where the kernel runs no 32-bit programs, and Debian 12's own qemu 7.2 takes
# about a minute per wine start there.
add_backports() {
  if [ ! -e /etc/apt/sources.list.d/morvelin-backports.sources ]; then
    printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      >/etc/apt/sources.list.d/morvelin-backports.sources
    lists_changed=1
  fi
}
for stage in "${stages[@]}"; do
  case "$stage" in
    win | web) add_deb_src ;;
    wine)
      add_backports
      # wine32 is an i386 package.
      if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        lists_changed=1
      fi
      ;;
  esac
done

# --- what is missing --------------------------------------------------------
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()      # package names, each once
missing_stage=() # the first stage that asked for each
for stage in "${stages[@]}"; do
  packages=$(stage_packages "$stage")
  # npm fetches the browser tests' pinned driver (puppeteer-core); a node that
  # brings its own npm needs no Debian one.
  if [ "$stage" = web ] && ! command -v npm >/dev/null; then packages+=" npm"; fi
  for p in $packages; do
    installed "$p" && continue
    [[ " ${missing[*]-} " == *" $p "* ]] && continue
    missing+=("$p")
    missing_stage+=("$stage")
  done
done
needs_qemu=0
if [[ " ${stages[*]} " == *" wine "* ]]; then
  qemu_version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
  dpkg --compare-versions "${qemu_version:-0}" ge 1:8 || needs_qemu=1
fi

# --- the package lists --------------------------------------------------------
update_failed=0
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
update_lists() {
  if [ -n "${MORVELIN_APT_STAMP:-}" ] && [ -s "$MORVELIN_APT_STAMP" ] && [ "$lists_changed" -eq 0 ]; then
    return
  fi
  local attempt
  for attempt in 1 2 3; do
    if apt-get "${apt_options[@]}" update -qq >"$update_log" 2>&1; then
      [ -z "${MORVELIN_APT_STAMP:-}" ] || echo updated >"$MORVELIN_APT_STAMP"
      return
    fi
    [ "$attempt" -lt 3 ] && { note "apt-get update failed (attempt $attempt of 3); trying again in $((attempt * 10)) s"; sleep $((attempt * 10)); }
  done
  update_failed=1
  note "apt-get update failed; going on with the package lists apt has. apt said: $(grep -m1 -E '^(E|W):' "$update_log" || tail -n 1 "$update_log")"
}
if [ ${#missing[@]} -gt 0 ] || [ "$needs_qemu" -eq 1 ]; then
  update_lists
elif [ "$lists_changed" -eq 1 ]; then
  # A source added for apt-get source: its index is needed even though every
  # package is there.
  update_lists
fi

# --- installing -----------------------------------------------------------------
failed=0
reason_of() {  # package [apt options...] -> apt's own reason, one line
  local p=$1
  shift
  local out
  out=$(apt-get "${apt_options[@]}" install -s --no-install-recommends "$@" "$p" 2>&1 || true)
  # The first unmet dependency apt names, then its error.
  local first error
  first=$(grep -m1 -E '^ +[^ ]+ : ' <<<"$out" | sed -E 's/^ +//; s/ +/ /g' || true)
  error=$(grep -m1 '^E: ' <<<"$out" || tail -n 1 <<<"$out")
  echo "${first:+$first; }$error"
}
if [ ${#missing[@]} -gt 0 ]; then
  note "installing for ${stages[*]}: ${missing[*]}"
  if ! apt-get "${apt_options[@]}" install -y -qq --no-install-recommends "${missing[@]}" >"$update_log.install" 2>&1; then
    # Which of them cannot be had, and why, one line each; the rest go in.
    ok=()
    for i in "${!missing[@]}"; do
      p=${missing[$i]}
      if apt-get "${apt_options[@]}" install -s --no-install-recommends "$p" >/dev/null 2>&1; then
        ok+=("$p")
      else
        echo "install-deps: cannot install $p for stage ${missing_stage[$i]}: $(reason_of "$p")" >&2
        failed=1
      fi
    done
    if [ "$failed" -eq 0 ]; then
      # Each installs alone but not all together: show apt's own words.
      echo "install-deps: cannot install ${missing[*]} for ${stages[*]}: $(grep -m1 '^E:' "$update_log.install" || tail -n 1 "$update_log.install")" >&2
      failed=1
    elif [ ${#ok[@]} -gt 0 ]; then
      apt-get "${apt_options[@]}" install -y -qq --no-install-recommends "${ok[@]}" >/dev/null 2>&1 || true
    fi
  fi
  rm -f "$update_log.install"
fi
if [ "$needs_qemu" -eq 1 ] && [ "$failed" -eq 0 ]; then
  note "installing qemu-user from bookworm-backports"
  if ! apt-get "${apt_options[@]}" install -y -qq --no-install-recommends -t bookworm-backports qemu-user >/dev/null 2>&1; then
    echo "install-deps: cannot install qemu-user (bookworm-backports) for stage wine: $(reason_of qemu-user -t bookworm-backports)" >&2
    failed=1
  fi
fi

if [ "$failed" -eq 1 ]; then
  if [ "$update_failed" -eq 1 ]; then exit 3; fi
  exit 1
fi
