#!/usr/bin/env bash
# Prepares a Debian 12 machine to build and test Vellbrook: the cross toolchain, Wine, Xvfb,
# GoogleTest, clang with its sanitizer and fuzzer runtime (for the native fuzz program), and the
# third-party sources (SQLite, Scintilla, Lexilla) built into a cache folder outside the
# repository. Safe to run again: each step is skipped when its result is present.
set -euo pipefail

CACHE_DIR="${VELLBROOK_CACHE:-${HOME:-/root}/.cache/vellbrook}"
PACKAGES=(cmake make gcc dpkg-dev tcl googletest mingw-w64 mingw-w64-tools wine wine32:i386
          xvfb xauth x11-utils imagemagick fonts-wine fonts-liberation2 sqlite3 clang libclang-rt-dev)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

log() { printf '[setup] %s\n' "$*"; }

# Runs a noisy build step; its output is shown only when it fails.
quiet() {
    local out
    out=$(mktemp)
    if ! "$@" >"$out" 2>&1; then
        tail -n 40 "$out" >&2
        rm -f "$out"
        echo "[setup] failed: $*" >&2
        exit 1
    fi
    rm -f "$out"
}

packages_missing() {
    local p
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 0
    done
    return 1
}

# A deb-src twin of every deb entry, so `apt-get source` finds the same archive and suites.
add_source_entries() {
    local deb822=/etc/apt/sources.list.d/debian.sources
    local target=/etc/apt/sources.list.d/vellbrook-src.sources
    [ -f "$target" ] && return 0
    if [ -f "$deb822" ]; then
        sed -e 's/^Types:.*/Types: deb-src/' "$deb822" | $SUDO tee "$target" >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
        grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' \
            | $SUDO tee /etc/apt/sources.list.d/vellbrook-src.list >/dev/null
        $SUDO touch "$target"
    fi
}

install_packages() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    add_source_entries
    if packages_missing; then
        log "installing Debian packages"
        $SUDO apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
            "${PACKAGES[@]}" >/dev/null
    fi
    # apt-get source needs the deb-src lists even when every package was already there.
    if ! ls /var/lib/apt/lists/*_source_Sources* >/dev/null 2>&1; then
        $SUDO apt-get update -qq
    fi
}

# apt-get source unpacks into the current folder; keep only one unpacked tree per package.
fetch_source() {
    local package="$1" pattern="$2"
    local dir
    dir=$(find "$CACHE_DIR/src" -maxdepth 1 -type d -name "$pattern" | head -n 1)
    if [ -z "$dir" ]; then
        quiet bash -c "cd '$CACHE_DIR/src' && apt-get source '$package'"
        dir=$(find "$CACHE_DIR/src" -maxdepth 1 -type d -name "$pattern" | head -n 1)
    fi
    [ -n "$dir" ] || { echo "could not fetch the source of $package" >&2; exit 1; }
    printf '%s' "$dir"
}

build_sqlite() {
    local out="$CACHE_DIR/sqlite"
    [ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ] && return 0
    log "preparing the SQLite amalgamation"
    local dir
    dir=$(fetch_source sqlite3 'sqlite3-*')
    quiet bash -c "cd '$dir' && { [ -f Makefile ] || ./configure --disable-tcl; } && make sqlite3.c"
    mkdir -p "$out"
    cp "$dir/sqlite3.c" "$dir/sqlite3.h" "$out/"
}

build_scintilla() {
    local out="$CACHE_DIR/scintilla"
    [ -f "$out/bin/Scintilla.dll" ] && [ -f "$out/bin/Lexilla.dll" ] && return 0
    log "building Scintilla and Lexilla"
    local dir
    dir=$(fetch_source scite 'scite-*')
    local cxx=i686-w64-mingw32-g++-posix cc=i686-w64-mingw32-gcc-posix
    local jobs
    jobs=$(nproc)
    local tools=(CXX="$cxx" CC="$cc" AR=i686-w64-mingw32-ar RANLIB=i686-w64-mingw32-ranlib
                 WINDRES=i686-w64-mingw32-windres)
    quiet make -j"$jobs" -C "$dir/scintilla/win32" "${tools[@]}" STRIPOPTION=-s
    # Lexilla's makefile appends to LDFLAGS, so it must come from the environment to keep -shared.
    quiet env LDFLAGS="-static -s" make -j"$jobs" -C "$dir/lexilla/src" windir=1 "${tools[@]}"
    mkdir -p "$out/bin" "$out/include"
    cp "$dir/scintilla/bin/Scintilla.dll" "$out/bin/Scintilla.dll"
    cp "$dir/lexilla/bin/lexilla.dll" "$out/bin/Lexilla.dll"
    cp "$dir"/scintilla/include/*.h "$dir"/lexilla/include/*.h "$out/include/"
}

main() {
    install_packages
    mkdir -p "$CACHE_DIR/src"
    build_sqlite
    build_scintilla
    log "ready (cache: $CACHE_DIR)"
}

main "$@"
