#!/usr/bin/env bash
# Builds the libraries the core links (expat, libzip, libical; zlib where Debian has no build of
# it for the target) for a cross build, once, and prints the folder they are installed in:
#
#   prefix=$(scripts/cross-deps.sh mingw64)      # or: wasm
#   cmake ... -DORRELIN_CROSS_PREFIX="$prefix"
#
# The sources are Debian's own source packages, fetched with `apt-get source` through an apt
# folder of this script's own (its own sources list, cache and state), whose deb-src entries name
# the archive the machine's apt sources already name; the machine's lists are only read. The
# folder is ${XDG_CACHE_HOME:-~/.cache}/orrelin-cross/TARGET-KEY, KEY a hash of the package
# versions and of this script, so a new version or recipe builds afresh and an unchanged one is
# reused. Only the libraries are built: no tools, tests, documentation or bindings. Each package's
# copyright file is kept under PREFIX/share/licenses/PACKAGE/ for the packages that ship them.
#
# Everything but the printed folder goes to standard error.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-}
case $target in
    mingw64) toolchain=$here/cmake/mingw-w64.cmake ;;
    wasm) toolchain= ;;
    *) echo "usage: $0 mingw64|wasm" >&2; exit 2 ;;
esac
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/orrelin-cross
apt_dir=$cache/apt
say() { echo "cross-deps: $*" >&2; }

# --- a private apt folder whose deb-src entries name the machine's own archive -------------
# Only the entries of the machine's release (its suites begin with the release's code name)
# are taken: a third-party archive may have no sources.
write_sources() {
    local codename out=$apt_dir/etc/sources.list
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    mkdir -p "$apt_dir/etc/sources.list.d" "$apt_dir/etc/preferences.d" "$apt_dir/lists/partial" \
        "$apt_dir/cache/archives/partial"
    : >"$out.new"
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        awk -v c="$codename" '$1 == "deb" {
                i = 2; opts = ""
                if ($2 ~ /^\[/) { while ($i !~ /\]$/) { opts = opts " " $i; i++ } opts = opts " " $i; i++ }
                if (c != "" && index($(i + 1), c) != 1) next
                $1 = "deb-src" opts; line = $1
                for (j = i; j <= NF; j++) line = line " " $j
                print line
            }' "$f" >>"$out.new"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        # deb822 stanzas: each with Types deb becomes one of deb-src, its suites those of
        # the release; the stanza's other fields (keyring, components) stay as they are.
        awk -v c="$codename" 'function flush() {
                if (stanza != "" && deb && keep) print stanza "\n"
                stanza = ""; deb = 0; keep = 0
            }
            /^[ \t]*#/ { next }
            /^[ \t]*$/ { flush(); next }
            {
                line = $0
                if (tolower($1) == "types:") { deb = ($0 ~ /[ \t]deb([ \t]|$)/); line = "Types: deb-src" }
                if (tolower($1) == "suites:") {
                    line = "Suites:"
                    for (j = 2; j <= NF; j++) if (c == "" || index($j, c) == 1) { line = line " " $j; keep = 1 }
                }
                stanza = stanza (stanza == "" ? "" : "\n") line
            }
            END { flush() }' "$f" >"$apt_dir/etc/sources.list.d/$(basename "$f").new"
        mv "$apt_dir/etc/sources.list.d/$(basename "$f").new" "$apt_dir/etc/sources.list.d/$(basename "$f")"
    done
    mv "$out.new" "$out"
}
apt_private() {
    local tool=$1
    shift
    "$tool" -q -o Dir::Etc::sourcelist="$apt_dir/etc/sources.list" \
        -o Dir::Etc::sourceparts="$apt_dir/etc/sources.list.d" \
        -o Dir::Etc::preferencesparts="$apt_dir/etc/preferences.d" \
        -o Dir::State="$apt_dir/state" -o Dir::State::Lists="$apt_dir/lists" \
        -o Dir::State::status=/var/lib/dpkg/status -o Dir::Cache="$apt_dir/cache" \
        -o APT::Sandbox::User=root -o Debug::NoLocking=1 "$@"
}
# Every version of a source package the lists name, newest first.
source_versions() {
    apt_private apt-cache showsrc "$1" 2>/dev/null |
        awk -v p="$1" '/^Package: / { n = $2 } /^Version: / && n == p { print $2 }' | sort -rVu
}
# Downloads a source package once into the cache and prints its version: the newest version
# whose files the archive serves whole, else (a mirror may lack Debian's own part of a package)
# the newest whose upstream tarball came, built then without Debian's patches.
download() {
    local p=$1 v dir pass
    for pass in whole upstream; do
        for v in $(source_versions "$p"); do
            dir=$cache/sources/${p}_$v
            if [ ! -f "$dir/done" ] && [ ! -f "$dir/tried" ]; then
                rm -rf "$dir" && mkdir -p "$dir"
                if (cd "$dir" && apt_private apt-get source --download-only --only-source "$p=$v") \
                    >"$dir.log" 2>&1; then
                    touch "$dir/done"
                else
                    touch "$dir/tried"
                fi
            fi
            if [ -f "$dir/done" ] || { [ $pass = upstream ] && ls "$dir"/*.orig.tar.* >/dev/null 2>&1; }; then
                echo "$v"
                return 0
            fi
        done
    done
    say "no source package of $p could be fetched (see $cache/sources/${p}_*.log, $apt_dir/update.log)"
    return 1
}
# The binary package whose copyright file stands for a source package's when Debian's part of
# the source could not be fetched.
declare -A binary=([zlib]=zlib1g [expat]=libexpat1 [libzip]=libzip4 [libical3]=libical3)
# Unpacks a downloaded source package into the build folder, keeps its copyright file and
# prints its folder.
unpack() {
    local p=$1 v=$2 dir=$root/src/$1 from=$cache/sources/${1}_$2 orig
    if [ -f "$from/done" ]; then
        dpkg-source --no-check -x "$(ls "$from"/*.dsc)" "$dir" >"$root/src/$p.log" 2>&1 || {
            say "unpacking $p failed:"; cat "$root/src/$p.log" >&2; return 1
        }
        copyright=$dir/debian/copyright
    else
        orig=$(ls "$from"/*.orig.tar.* | head -1)
        say "$p $v: Debian's part could not be fetched; building the upstream tarball alone"
        mkdir -p "$dir" && tar -xf "$orig" -C "$dir" --strip-components=1
        copyright=/usr/share/doc/${binary[$p]}/copyright
        [ -f "$copyright" ] || copyright=$(ls "$dir"/COPYING* "$dir"/LICENSE* 2>/dev/null | head -1)
    fi
    mkdir -p "$prefix/share/licenses/$p"
    cp "$copyright" "$prefix/share/licenses/$p/copyright"
    echo "$dir"
}

sources=(expat libzip libical3)
[ "$target" = wasm ] && sources=(zlib "${sources[@]}")
mkdir -p "$apt_dir/state"
write_sources
if ! apt_private apt-get update >"$apt_dir/update.log" 2>&1; then
    say "apt-get update of the source lists failed (see $apt_dir/update.log); using the lists as they are"
fi
versions=""
declare -A version
for p in "${sources[@]}"; do
    version[$p]=$(download "$p")
    versions+="$p=${version[$p]} "
done
recipe=$(cat "$0" ${toolchain:+"$toolchain"} | sha256sum | cut -c1-12)
key=$(echo "$target $versions $recipe" | sha256sum | cut -c1-12)
root=$cache/$target-$key
prefix=$root/prefix
if [ -f "$root/done" ]; then
    echo "$prefix"
    exit 0
fi
say "building $versions for $target into $root"
rm -rf "$root"
mkdir -p "$root/src" "$prefix/share/licenses"
fetch() { unpack "$1" "${version[$1]}"; }

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
configure=(cmake)
# emcmake would have the configure checks' programs run by `node --experimental-wasm-threads`,
# an option Node 20 no longer knows: every such check would fail (libzip's type sizes, say).
# Debian's emscripten runs its JavaScript tools with node, which finds Debian's node modules
# (acorn) only through NODE_PATH.
if [ "$target" = wasm ]; then
    configure=(emcmake cmake "-DCMAKE_CROSSCOMPILING_EMULATOR=$(command -v node)")
    export NODE_PATH=${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs
fi
cmake_build() {
    local name=$1 src=$2
    shift 2
    "${configure[@]}" -S "$src" -B "$root/build/$name" -G Ninja "${launcher[@]}" \
        ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DORRELIN_CROSS_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" >"$root/build-$name.log" 2>&1 &&
        cmake --build "$root/build/$name" -j "$jobs" --target install >>"$root/build-$name.log" 2>&1 || {
        say "building $name failed:"; tail -40 "$root/build-$name.log" >&2; exit 1
    }
}

start=$SECONDS
if [ "$target" = wasm ]; then
    # zlib's own configure script: its CMake build wants the Windows resource file Debian's
    # source leaves out, and builds a shared library besides.
    src=$(fetch zlib)
    (cd "$src" && CFLAGS=-O2 emconfigure ./configure --static --prefix="$prefix" &&
        emmake make -j "$jobs" libz.a && emmake make install) \
        >"$root/build-zlib.log" 2>&1 || { say "building zlib failed:"; tail -40 "$root/build-zlib.log" >&2; exit 1; }
    zlib=$prefix
else
    # Debian builds zlib for MinGW-w64 itself (libz-mingw-w64-dev).
    mkdir -p "$prefix/share/licenses/zlib"
    cp /usr/share/doc/libz-mingw-w64-dev/copyright "$prefix/share/licenses/zlib/copyright"
    zlib=/usr/x86_64-w64-mingw32
fi

src=$(fetch expat)
[ -f "$src/CMakeLists.txt" ] || src=$src/expat
# Debian's patches test XML_DTD for 1, as its own (autotools) build defines it; CMake's
# configuration header defines it empty.
sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' "$src/expat_config.h.cmake"
cmake_build expat "$src" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
    -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF \
    -DEXPAT_BUILD_FUZZERS=OFF -DEXPAT_BUILD_PKGCONFIG=ON

# Deflate and stored entries (what Desktop Software writes) and the archive's own encryption
# through the system's crypto; no bzip2, lzma or zstd (Debian has no builds of them for the
# target).
src=$(fetch libzip)
crypto=(-DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF)
# Under emscripten CMake's type-size checks run their programs, which fail: the sizes of
# wasm32 (a 64-bit off_t, a 32-bit size_t) are given.
[ "$target" = wasm ] && crypto+=(-DENABLE_WINDOWS_CRYPTO=OFF -DHAVE_SIZEOF_OFF_T=TRUE
    -DSIZEOF_OFF_T=8 -DHAVE_SIZEOF_SIZE_T=TRUE -DSIZEOF_SIZE_T=4)
cmake_build libzip "$src" "${crypto[@]}" -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF \
    -DBUILD_DOC=OFF -DZLIB_INCLUDE_DIR="$zlib/include" -DZLIB_LIBRARY="$zlib/lib/libz.a"

# libical's parser and serialiser alone: no GLib, introspection, Berkeley DB, ICU, C++ or Vala
# bindings, tests or documentation. Its generated sources are made by Perl scripts on the build
# machine, so nothing of it has to run on the target.
src=$(fetch libical3)
ical=()
if [ "$target" = wasm ]; then
    # libical's project enables C alone, yet tests C++ warning flags whenever the C++ compiler
    # is Clang, which emscripten's toolchain file says it is: C++ is enabled for those tests.
    echo 'enable_language(CXX)' >"$root/enable-cxx.cmake"
    ical=(-DCMAKE_PROJECT_INCLUDE="$root/enable-cxx.cmake")
fi
cmake_build libical "$src" ${ical[@]+"${ical[@]}"} -DSTATIC_ONLY=ON -DSHARED_ONLY=OFF -DICAL_GLIB=OFF \
    -DICAL_GLIB_VAPI=OFF -DGOBJECT_INTROSPECTION=OFF -DICAL_BUILD_DOCS=OFF \
    -DLIBICAL_BUILD_TESTING=OFF -DWITH_CXX_BINDINGS=OFF -DENABLE_GTK_DOC=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_BDB=ON -DCMAKE_DISABLE_FIND_PACKAGE_ICU=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Doxygen=ON -DUSE_BUILTIN_TZDATA=ON

echo "$versions" >"$root/versions"
touch "$root/done"
say "built in $((SECONDS - start)) s"
echo "$prefix"
