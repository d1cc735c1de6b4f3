#!/usr/bin/env bash
# validate_desktop_files.sh CMAKE BUILD_DIR VERSION
#
# Installs the build into a temporary prefix and checks what a Linux desktop reads from it: the
# files are where launchers, icon themes, shared-mime-info and software centres look, the
# validators accept them, and a *.vtprofile file gets the profile type once the MIME database is
# built. One line per failure; exit status 1 if there was any.
set -euo pipefail

cmake=$1
build=$2
version=$3

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

for tool in desktop-file-validate appstreamcli update-mime-database xmllint file; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps installs it)"
done
[ "$failures" -eq 0 ] || exit 1

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
if ! out=$("$cmake" --install "$build" --prefix "$prefix" 2>&1); then
  echo "$out"
  echo "FAIL: cmake --install $build did not finish"
  exit 1
fi

id=org.orlavex.Veltrane
desktop=share/applications/$id.desktop
metainfo=share/metainfo/$id.metainfo.xml
mimexml=share/mime/packages/$id.xml

# Installed path | what `file -b` must say about it (a glob).
expected=(
  "bin/veltrane|ELF *executable*"
  "bin/veltrane-batch|ELF *executable*"
  "share/veltrane/MACVeltrane2.pdf|PDF document*"
  "$desktop|*text*"
  "$metainfo|XML 1.0 document*"
  "$mimexml|XML 1.0 document*"
  "share/icons/hicolor/scalable/apps/$id.svg|SVG *"
  "share/icons/hicolor/scalable/mimetypes/application-x-vtprofile.svg|SVG *"
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png|PNG image data, $size x $size, *")
done

for row in "${expected[@]}"; do
  path=${row%%|*}
  kind=${row#*|}
  if [ ! -f "$prefix/$path" ]; then
    fail "$path is not installed"
    continue
  fi
  what=$(file -b "$prefix/$path")
  # shellcheck disable=SC2053 # $kind is a glob on purpose
  [[ $what == $kind ]] || fail "$path is \"$what\", not \"$kind\""
  if [[ $path == bin/* && ! -x $prefix/$path ]]; then
    fail "$path is not executable"
  fi
done

# desktop-file-validate exits 0 on warnings and hints: any output at all is a failure.
if [ -f "$prefix/$desktop" ]; then
  if ! out=$(desktop-file-validate "$prefix/$desktop" 2>&1) || [ -n "$out" ]; then
    fail "desktop-file-validate: ${out:-exit status not 0}"
  fi
  entry() { sed -n "s/^$1=//p" "$prefix/$desktop"; }
  program=$(entry Exec)
  program=${program%% *}
  [ -x "$prefix/bin/$program" ] || fail "$desktop starts \"$program\", which is not in bin/"
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$(entry Icon).svg" ] ||
    fail "$desktop names icon \"$(entry Icon)\", which is not installed"
fi

# validate-tree checks the metainfo and that its launchable desktop file is installed beside it.
if ! out=$(appstreamcli validate-tree --no-net "$prefix" 2>&1); then
  fail "appstreamcli validate-tree: $out"
fi
if [ -f "$prefix/$metainfo" ]; then
  released=$(xmllint --xpath 'string(/component/releases/release[1]/@version)' "$prefix/$metainfo")
  [ "$released" = "$version" ] ||
    fail "$metainfo: newest release is \"$released\", the project is $version"
  # Software centres offer the program for the types the launcher opens, and no others.
  offered=$(xmllint --xpath '/component/provides/mediatype/text()' "$prefix/$metainfo" | sort)
  opened=$(sed -n 's/^MimeType=//p' "$prefix/$desktop" | tr ';' '\n' | sed '/^$/d' | sort)
  [ "$offered" = "$opened" ] || fail "$metainfo mediatypes differ from $desktop MimeType"
fi

if [ -f "$prefix/$mimexml" ]; then
  if ! out=$(xmllint --noout "$prefix/$mimexml" 2>&1); then
    fail "$mimexml is not well-formed XML: $out"
  fi
  if ! out=$(update-mime-database "$prefix/share/mime" 2>&1 >/dev/null); then
    fail "update-mime-database: $out"
  fi
  # File in the built database | the line that gives x.vtprofile its type, parent and icons.
  database=(
    "globs2|50:application/x-vtprofile:*.vtprofile"
    "subclasses|application/x-vtprofile application/xml"
    "icons|application/x-vtprofile:application-x-vtprofile"
    "generic-icons|application/x-vtprofile:text-x-generic"
  )
  for row in "${database[@]}"; do
    db=${row%%|*}
    line=${row#*|}
    grep -qxF "$line" "$prefix/share/mime/$db" 2>/dev/null ||
      fail "share/mime/$db has no line \"$line\""
  done
fi

[ "$failures" -eq 0 ]
