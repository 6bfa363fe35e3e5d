#!/usr/bin/env bash
# Whether what the document editor's Save writes opens with its formatting
# in other readers: unrtf and LibreOffice Writer (when installed; Debian
# package libreoffice-writer-nogui). Prints what each reader kept.
#   bench/memo_readers.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$build/bench/memo_screenshot" --rtf "$work/sermon.rtf"

check() { # reader, file, label, pattern
  if grep -qiE -- "$4" "$2"; then echo "$1: $3 kept"; else echo "$1: $3 LOST"; fi
}
report() { # reader, file: unrtf's HTML or LibreOffice's flat ODF
  check "$1" "$2" "Korean text" "믿음의 시작|&#48127;&#51020;&#51032;"
  check "$1" "$2" "bold" "<b>|fo:font-weight=\"bold"
  check "$1" "$2" "italic" "<i>|fo:font-style=\"italic"
  check "$1" "$2" "underline" "<u>|text-underline-style=\"solid"
  check "$1" "$2" "colour" "#800000"
  check "$1" "$2" "size 16pt" "font-size[:=] ?\"?16pt"
  check "$1" "$2" "font NanumMyeongjo" "NanumMyeongjo"
  check "$1" "$2" "centred" "<center>|fo:text-align=\"center"
  check "$1" "$2" "right-aligned" "<div align=\"right|fo:text-align=\"end"
  check "$1" "$2" "indents" "fo:margin-left=\"0.41|fo:text-indent=\"-0.2"
}

if command -v unrtf >/dev/null; then
  unrtf --html "$work/sermon.rtf" > "$work/unrtf.html" 2>/dev/null
  report unrtf "$work/unrtf.html"
  echo "  (unrtf's HTML never shows indents, and opens a paragraph's alignment only at"
  echo "   its first ASCII word, so a right-aligned line of Korean alone shows unaligned)"
else
  echo "unrtf: not installed"
fi

if command -v soffice >/dev/null; then
  # Flat ODF: what Writer made of the file, attribute by attribute.
  soffice --headless -env:UserInstallation=file://"$work/lo" --convert-to fodt \
    --outdir "$work" "$work/sermon.rtf" >/dev/null 2>&1
  report LibreOffice "$work/sermon.fodt"
else
  echo "LibreOffice: not installed (apt-get install libreoffice-writer-nogui)"
fi
