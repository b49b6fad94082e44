#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under /usr and checks what lands
# there, file by file, then starts the installed program on its shipped data.
set -euo pipefail
build="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >"$root/install.log"
d="$root/dest/usr"

expect=(
  bin/quillnet
  share/applications/quillnet.desktop
  share/icons/hicolor/scalable/apps/quillnet.svg
  share/man/man1/quillnet.1.gz
  share/doc/quillnet/copyright
  share/doc/quillnet/changelog.Debian.gz
  share/quillnet/data/WEBSEARCH.TXT
  share/quillnet/data/ARCHIVE/DEMO.TXT
  share/quillnet/data/SOUNDS/a.wav
  share/quillnet/data/quillnet-help.html
)
for size in 16 32 48 64 128 256; do expect+=("share/icons/hicolor/${size}x${size}/apps/quillnet.png"); done
if grep -q 'flinger' "$build/cmake_install.cmake"; then
  expect+=(bin/flinger share/man/man1/flinger.1.gz share/flinger/flinger.txt)
fi
for f in "${expect[@]}"; do [ -f "$d/$f" ] || fail "missing $f"; done
[ -x "$d/bin/quillnet" ] || fail "quillnet is not executable"

# Every installed file is one we expect or shipped data; nothing strays
# outside the prefix.
while IFS= read -r f; do
  rel="${f#$d/}"
  case "$rel" in
    share/quillnet/data/*) ;;
    *) printf '%s\n' "${expect[@]}" | grep -qxF "$rel" || fail "unexpected file $rel" ;;
  esac
done < <(find "$root/dest" -type f -printf '%p\n' | sed "s|^$root/dest/usr|$d|")
[ -z "$(find "$root/dest" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "files outside /usr"

# The shipped data is installed as it is in the source tree.
src="$(cd "$(dirname "$0")/../.." && pwd)/data"
diff -r "$src" "$d/share/quillnet/data" >/dev/null || fail "shipped data differs from data/"

# The desktop entry opens telnet links with the program.
desktop-file-validate "$d/share/applications/quillnet.desktop" || fail "desktop entry invalid"
grep -qx 'MimeType=x-scheme-handler/telnet;' "$d/share/applications/quillnet.desktop" || fail "no telnet handler"
grep -qx 'Exec=quillnet %u' "$d/share/applications/quillnet.desktop" || fail "Exec does not take the link"

# The manual pages are well-formed and name their program.
for page in "$d"/share/man/man1/*.1.gz; do
  name="$(basename "$page" .1.gz)"
  zcat "$page" | grep -q "^\.TH ${name^^} 1" || fail "$page has no title line"
  out="$(zcat "$page" | LC_ALL=C.UTF-8 MANWIDTH=80 man -l - 2>&1 >/dev/null)" || fail "man cannot read $page"
  [ -z "$out" ] || fail "man warns on $page: $out"
done
[ "$(gzip -l "$d/share/man/man1/quillnet.1.gz" | wc -l)" -gt 1 ] || fail "manual page not compressed"

# The installed program runs and fills a new data folder from the installed data.
"$d/bin/quillnet" --version | grep -q '^quillnet ' || fail "--version"
mkdir -p "$root/home"
echo "::quit" | env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  QUILLNET_RUNTIME_DIR="$root/run" timeout 30 "$d/bin/quillnet" --headless --data-dir "$root/home/q" >/dev/null 2>&1 \
  || fail "installed program did not start and quit"
[ -f "$root/home/q/WEBSEARCH.TXT" ] || fail "new data folder not filled from the installed data"
echo "install ok"
