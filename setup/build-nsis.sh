#!/bin/sh
# Builds NSIS from Debian's nsis source package for the 32-bit build's
# processors: the compiler (makensis) for this machine, and the installer
# and uninstaller stubs and the plug-ins named for the i586, with the
# 32-bit program's flags.  Debian's own NSIS package compiles its stubs for
# the Pentium Pro, whose conditional moves a Pentium MMX or K6-2 cannot run.
#
#   build-nsis.sh CACHE VERSION PLUGINS
#
# puts NSIS VERSION into CACHE/nsis-VERSION-RECIPE (RECIPE: the first
# characters of this script's SHA-256, so a change of the recipe builds
# anew): bin/makensis, etc/nsisconf.nsh and share/nsis (stubs, plug-ins,
# headers).  "complete" in that folder marks a finished build; with it the
# script does nothing, so NSIS is built once and kept across builds.
# PLUGINS names the plug-ins to build, separated by spaces (System for the
# uninstaller's calls, nsDialogs for the headers the Modern UI includes);
# the setup can carry no other.
#
# The source comes through apt, from the Debian archive the system's
# packages come from, with a list of sources of its own under CACHE, which
# leaves the system's alone: Debian 13's source index (the registry here
# does not serve the upstream tarball of Debian 12's nsis 3.08), and of the
# package only the upstream tarball (--tar-only), checked by apt against
# the signed index.  Built with scons, the
# MinGW-w64 cross compiler and zlib, as Debian builds the package.
set -eu

if [ $# -ne 3 ]; then
  echo "usage: build-nsis.sh CACHE VERSION PLUGINS" >&2
  exit 2
fi
cache=$1
version=$2
plugins=$3
script=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
recipe=$(sha256sum "$script" | cut -c1-12)
prefix=$cache/nsis-$version-$recipe
if [ -f "$prefix/complete" ]; then
  exit 0
fi

suite=trixie
started=$(date +%s)
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
prefix=$cache/nsis-$version-$recipe
work=$cache/work
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/source"

echo "build-nsis: fetching Debian's nsis $version source ($suite)"
# The Debian archive apt already takes this release's packages from.
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
# shellcheck disable=SC2016  # apt's own $(FIELD) placeholders
archive=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 'Created-By: Packages' |
  awk -v release="$release" '$1 == release { print $2; exit }')
if [ -z "$archive" ]; then
  echo "build-nsis: apt takes no packages of Debian $release from an archive" >&2
  exit 1
fi
cat >"$work/apt/sources.list" <<EOF
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive $suite main
EOF
apt_private() {
  apt-get -q -o Dir::Etc::SourceList="$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null \
    -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache" \
    -o APT::Sandbox::User=root "$@"
}
apt_private update >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; exit 1; }
(cd "$work/source" && apt_private source --tar-only --download-only nsis/$suite) >>"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; exit 1; }
tarball=$(find "$work/source" -maxdepth 1 -name "nsis_$version.orig.tar.*" | head -n 1)
if [ -z "$tarball" ]; then
  echo "build-nsis: Debian $suite no longer holds nsis $version; it has:" $(ls "$work/source") >&2
  exit 1
fi
tar -xf "$tarball" -C "$work/source"
source_dir=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d | head -n 1)

# The cross compiler under a name of its own, with the 32-bit program's
# flags: the i586, and no exceptions.  A plug-in's entry point is its own
# DllMain, so the MinGW DLL start-up code (precompiled for the Pentium Pro)
# never runs; it stays out of the link.
toolchain=$work/toolchain
mkdir -p "$toolchain"
for tool in gcc g++; do
  cat >"$toolchain/i586-w64-mingw32-$tool" <<EOF
#!/bin/sh
case " \$* " in
  *" -shared "*) exec i686-w64-mingw32-$tool -march=i586 -fno-exceptions -nostartfiles "\$@" ;;
esac
exec i686-w64-mingw32-$tool -march=i586 -fno-exceptions "\$@"
EOF
  chmod +x "$toolchain/i586-w64-mingw32-$tool"
done
for tool in ar as dlltool ld nm objcopy ranlib strip windres; do
  ln -s "$(command -v i686-w64-mingw32-$tool)" "$toolchain/i586-w64-mingw32-$tool"
done

# The parts of the source left out: every plug-in but the ones named, and
# every utility but UIs (the dialogs the setup's pages are made of, copied
# as resources from modern.exe and the like).
skipped() {
  python3 - "$source_dir/SConstruct" "$@" <<'EOF'
import re, sys
text = open(sys.argv[1]).read()
wanted = set(sys.argv[3].split())
names = []
for listed in sys.argv[2].split(","):
    names += re.findall(r"'([^']+)'", re.search(r"\n" + listed + r" = \[(.*?)\]", text, re.S).group(1))
print(",".join(name for name in names if name not in wanted))
EOF
}
# ExDLL is the plug-in API the plug-ins link with.
skipped_plugins=$(skipped plugin_libs,plugins "$plugins ExDLL")
skipped_utils=$(skipped utils UIs)

common="VERSION=$version PREFIX=$prefix PREFIX_CONF=$prefix/etc PREFIX_DATA=$prefix/share/nsis SKIPDOC=all"
echo "build-nsis: building makensis"
# shellcheck disable=SC2086
(cd "$source_dir" && scons -j1 $common SKIPSTUBS=all SKIPPLUGINS=all SKIPUTILS=all SKIPMISC=all install-compiler install-conf) \
  >"$work/host.log" 2>&1 || { tail -n 40 "$work/host.log" >&2; exit 1; }
echo "build-nsis: building the stubs and plug-ins ($plugins) for the i586"
# shellcheck disable=SC2086
(cd "$source_dir" && PATH="$toolchain:$PATH" scons -j1 $common TARGET_ARCH=x86 XGCC_W32_PREFIX=i586-w64-mingw32- \
  "SKIPPLUGINS=$skipped_plugins" "SKIPUTILS=$skipped_utils" install-stubs install-plugins install-utils install-data) \
  >"$work/cross.log" 2>&1 || { tail -n 40 "$work/cross.log" >&2; exit 1; }

# Older builds of the cache go.
for old in "$cache"/nsis-*; do
  if [ "$old" != "$prefix" ]; then rm -rf "$old"; fi
done
rm -rf "$work"
touch "$prefix/complete"
echo "build-nsis: NSIS $version built in $(($(date +%s) - started)) s into $prefix"
