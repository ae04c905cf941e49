#!/usr/bin/env bash
# Checks an installed tree the way a user meets it: the files a desktop looks for, valid
# desktop and AppStream data, and an unattended analysis of the sample run from the prefix.
#   install_test.sh --prefix DIR   check what `make install PREFIX=DIR` put there
#   install_test.sh --build DIR    install the build tree DIR into a temporary prefix first
#                                  (and once more through DESTDIR), then check it
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate appstreamcli xmllint; do
  command -v "$tool" >/dev/null || fail "$tool is missing: scripts/install-deps installs it"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/brindle-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

case "${1:-}" in
  --prefix) prefix=$(realpath "$2") ;;
  --build)
    prefix="$(realpath "$work")/prefix"
    cmake --install "$2" --prefix "$prefix" >/dev/null
    DESTDIR="$work/staging" cmake --install "$2" --prefix /opt/brindle >/dev/null
    [ -x "$work/staging/opt/brindle/bin/brindle-analyzer" ] || fail "DESTDIR is not honoured"
    ;;
  *) echo "usage: $0 --prefix DIR | --build DIR" >&2; exit 2 ;;
esac

id=org.brindleanalyzer.BrindleAnalyzer
expected=(
  bin/brindle-analyzer
  share/brindle-analyzer/Sample/sample1.log
  share/brindle-analyzer/Template/html/standard
  share/brindle-analyzer/Template/word
  share/brindle-analyzer/help/index.html
  share/brindle-analyzer/icons/app/brindle-analyzer-48.png
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  "share/mime/packages/$id.xml"
  share/icons/hicolor/scalable/apps/brindle-analyzer.svg
  share/icons/hicolor/scalable/mimetypes/application-x-brindle-analysis.svg
  share/doc/brindle-analyzer/copyright
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/brindle-analyzer.png"
             "share/icons/hicolor/${size}x${size}/mimetypes/application-x-brindle-analysis.png")
done
for path in "${expected[@]}"; do
  [ -e "$prefix/$path" ] || fail "not installed: $prefix/$path"
done
[ ! -e "$prefix/share/brindle-analyzer/desktop" ] || fail "the desktop files are installed twice"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry rejected"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; fail "AppStream metainfo rejected"; }
xmllint --noout "$prefix/share/mime/packages/$id.xml" || fail "MIME type file is not well-formed XML"
grep -q 'MimeType=application/x-brindle-analysis;' "$prefix/share/applications/$id.desktop" ||
  fail "the desktop entry does not open analysis documents"
grep -q '<glob pattern="\*.bnl"/>' "$prefix/share/mime/packages/$id.xml" || fail "no *.bnl glob"

# A fresh user folder: the first start creates the sample profiles from the installed samples.
home="$work/home"
status=0
(cd "$work" && QT_QPA_PLATFORM=offscreen BRINDLE_ANALYZER_HOME="$home" \
   "$prefix/bin/brindle-analyzer" /s /p=Sample1 /c) >"$work/run.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$work/run.log" >&2; fail "the unattended analysis exited with $status"; }
grep -q "$prefix/share/brindle-analyzer/Sample/sample1.log" "$home/Profiles.xml" ||
  fail "the sample profile does not read the installed sample"
[ -d "$home/DataLog" ] || fail "no DataLog folder in the user folder"
echo "ok: $prefix"
