#!/usr/bin/env bash
# Takes docs/print-preview.png: the print preview of a sermon list (layout
# 5, 작성일+제목+성경+주제+형식+방향) of a sample collection, opened from
# the 파일 menu's 설교목록 인쇄 in the built program on a virtual X display
# of 1280 x 800, where the preview shows maximised. Needs ImageMagick's import.
#   scripts/print_screenshot.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v import >/dev/null || { echo "ImageMagick's import is needed (scripts/screenshots.sh installs it)."; exit 1; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
cp -r "$build/resources/samples/." "$home/"
printf '[file]\r\nlast=1999년 나래솔 설교\r\n[첫화면]\r\nhelp=0\r\n' | iconv -f UTF-8 -t CP949 > "$home/verbdesk.ini"

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  build=$1; home=$2
  VERBANA_HOME="$home" "$build/verbana" &
  pid=$!
  until xdotool search --onlyvisible --name "Verbana - " >/dev/null 2>&1; do sleep 0.05; done
  window=$(xdotool search --onlyvisible --name "Verbana - " | head -1)
  sleep 1
  # The 파일 menu at the left of the menu bar; from its end upwards: 종료,
  # the line, 설교목록 인쇄; the last layout is the last item of the sub-menu.
  xdotool mousemove 30 22 click 1
  sleep 0.5
  xdotool key Up Up Right
  sleep 0.3
  xdotool key Up Return
  until xdotool search --onlyvisible --name "^설교목록$" >/dev/null 2>&1; do sleep 0.1; done
  sleep 2
  import -window root docs/print-preview.png
  xdotool key Escape
  kill $pid; wait $pid 2>/dev/null || true
' _ "$build" "$home"
echo "docs/print-preview.png written."
