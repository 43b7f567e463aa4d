#!/usr/bin/env bash
# cmake --install into a temporary DESTDIR with the prefix /usr, then the
# installed tree checked with the desktop's own tools: the launcher, the
# AppStream metainfo, the project file type (and its magic), the icon sizes,
# the manual pages, bash completion, and the installed programs running from
# the DESTDIR.
#   install_tree.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }
usr="$tmp/root/usr"
id=org.pelko.Pelko
for f in bin/pelko bin/pelko-cli share/pelko/help/index.html share/pelko/demo/demo.mcp \
  share/pelko/demo/pictures/frame0.png share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/mime/packages/$id.xml share/icons/hicolor/scalable/apps/$id.svg share/man/man1/pelko.1 \
  share/man/man1/pelko-cli.1 share/bash-completion/completions/pelko-cli share/doc/pelko/copyright; do
  [ -s "$usr/$f" ] || fail "not installed: $f"
done
# nothing lands outside the prefix
[ "$(ls "$tmp/root")" = usr ] || fail "installed outside /usr: $(ls "$tmp/root")"

# the programs run from where they were installed
"$usr/bin/pelko-cli" --version | grep -q "^pelko-cli [0-9]" || fail "installed pelko-cli --version"
"$usr/bin/pelko" --version | grep -q "^pelko [0-9]" || fail "installed pelko --version"
"$usr/bin/pelko-cli" info "$usr/share/pelko/demo/demo.mcp" >/dev/null || fail "installed demo project"

# the launcher: errors fail, hints (two main categories) do not
out=$(desktop-file-validate "$usr/share/applications/$id.desktop" 2>&1) || fail "desktop-file-validate: $out"
! grep -q "error:" <<<"$out" || fail "desktop-file-validate: $out"
grep -q '^Exec=pelko %f$' "$usr/share/applications/$id.desktop" || fail "Exec takes no file"
grep -q '^Icon=org.pelko.Pelko$' "$usr/share/applications/$id.desktop" || fail "Icon"

appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$tmp/as.log" 2>&1 || { cat "$tmp/as.log"; fail "appstreamcli validate"; }
grep -q "<release version=\"[0-9]" "$usr/share/metainfo/$id.metainfo.xml" || fail "metainfo without the version"

# the project file type: by name and, for a file named otherwise, by its start
xmllint --noout "$usr/share/mime/packages/$id.xml" || fail "xmllint"
mkdir -p "$tmp/mime/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$usr/share/mime/packages/$id.xml" "$tmp/mime/mime/packages/"
update-mime-database "$tmp/mime/mime" 2>"$tmp/mime.log" || { cat "$tmp/mime.log"; fail "update-mime-database"; }
! grep -qi "$id" "$tmp/mime.log" || { cat "$tmp/mime.log"; fail "update-mime-database complains"; }
printf '[Main]\r\nVersion=Pelko v.2.2\r\n[Parameters]\r\n' >"$tmp/saved.dat"
printf '[Main]\nWidth=3\n' >"$tmp/other.dat"
cp "$usr/share/pelko/demo/demo.mcp" "$tmp/"
type_of() { XDG_DATA_HOME="$tmp/none" XDG_DATA_DIRS="$tmp/mime" gio info -a standard::content-type "$1" | awk '/content-type/ { print $2 }'; }
[ "$(type_of "$tmp/demo.mcp")" = application/x-pelko-project ] || fail "demo.mcp is $(type_of "$tmp/demo.mcp")"
[ "$(type_of "$tmp/saved.dat")" = application/x-pelko-project ] || fail "magic: $(type_of "$tmp/saved.dat")"
[ "$(type_of "$tmp/other.dat")" != application/x-pelko-project ] || fail "an INI without Version is a project"

# the icon: each PNG as large as its folder says (width and height from IHDR)
for s in 16 22 24 32 48 64 128 256; do
  png="$usr/share/icons/hicolor/${s}x${s}/apps/$id.png"
  [ -s "$png" ] || fail "no ${s}x${s} icon"
  size=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
  [ "$size" = "${s}x${s}" ] || fail "$png is $size"
done
xmllint --noout "$usr/share/icons/hicolor/scalable/apps/$id.svg" || fail "the SVG icon"

# the manual pages render without warnings and tell every command
for page in pelko pelko-cli; do
  MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1" >"$tmp/$page.txt" 2>"$tmp/$page.err" || fail "man -l $page.1"
  [ ! -s "$tmp/$page.err" ] || { cat "$tmp/$page.err"; fail "man -l $page.1 warns"; }
  grep -q "^NAME" "$tmp/$page.txt" && grep -q "^SYNOPSIS" "$tmp/$page.txt" || fail "$page.1 sections"
done
for c in $("$usr/bin/pelko-cli" --help | awk '/^commands:$/ { on = 1; next } /^$/ { on = 0 } on && /^  [^ ]/ { print $1 }'); do
  grep -q "^   $c$" "$tmp/pelko-cli.txt" || fail "pelko-cli(1) has no section on $c"
done
grep -q -- "--cache-mb N" "$tmp/pelko-cli.txt" || fail "pelko-cli(1) without the options"

# bash completion of the installed pelko-cli
complete_line() {  # complete_line WORD... : what completing the last word offers
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _pelko_cli; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$usr/share/bash-completion/completions/pelko-cli" "$@" | sort | tr '\n' ' '
}
cli="$usr/bin/pelko-cli"
[ "$(complete_line "$cli" ma)" = "make " ] || fail "completing ma: $(complete_line "$cli" ma)"
[ "$(complete_line "$cli" make --dit)" = "--dither " ] || fail "completing --dit: $(complete_line "$cli" make --dit)"
[ "$(complete_line "$cli" make --dither st)" = "stevearche stucki " ] || fail "dither values"
[ "$(complete_line "$cli" new --type "")" = "avi gif " ] || fail "type values: $(complete_line "$cli" new --type "")"
[ "$(complete_line "$cli" text 1 --direction "")" = "down left right up " ] || fail "direction values"
[ "$(complete_line "$cli" help wav)" = "wav-info " ] || fail "help COMMAND"
echo "installed tree: ok"
