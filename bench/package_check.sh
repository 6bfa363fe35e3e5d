#!/usr/bin/env bash
# Makes the Debian package and puts it through the checks a distribution
# runs: lintian on the .deb, appstreamcli on the AppStream metadata,
# desktop-file-validate on the menu entry, and xmllint and
# update-mime-database on the BCK MIME type. Before that it installs the
# package into a scratch root (dpkg --root: nothing touches the machine's
# own system) and checks that every file landed where the desktop looks.
# Installs the checking tools with apt when they are missing.
#   bench/package_check.sh [BUILD_DIR]
# Exit status 0 when no check reports an error (warnings are listed).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)

tools=(appstream lintian desktop-file-utils libxml2-utils shared-mime-info dpkg-dev)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing ${missing[*]}"
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null
fi

targets=(verbana verbana-cli hwp2txt verbana_samples verbana_help verbana_package_docs)
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
rm -f "$build"/verbana_*.deb
if ! log=$(cd "$build" && cpack -G DEB 2>&1); then echo "$log"; exit 1; fi
deb=$(ls "$build"/verbana_*.deb)
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb --field "$deb" Package Version Architecture Section Depends
echo "--- contents"
dpkg-deb --contents "$deb" | sed -E 's/^(\S+)(\s+\S+){4}\s+/\1 /' | grep -v '/$'

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
# The scratch root has none of the libraries the package depends on.
dpkg --root="$root" --force-depends --force-script-chrootless --no-triggers -i "$deb" >/dev/null 2>&1
echo "--- installed into a scratch root"
id=$(basename "$(ls "$root"/usr/share/metainfo/*.metainfo.xml)" .metainfo.xml)
for f in usr/bin/verbana usr/bin/Hwp2txt usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/mime/packages/verbana.xml usr/share/icons/hicolor/scalable/apps/verbana.svg \
         usr/share/icons/hicolor/48x48/apps/verbana.png usr/share/verbana/help/index.html \
         usr/share/verbana/help/10.html usr/share/verbana/samples usr/share/man/man1/verbana.1.gz \
         usr/share/man/man1/Hwp2txt.1.gz usr/share/doc/verbana/copyright usr/share/doc/verbana/changelog.gz; do
  if [ -e "$root/$f" ]; then echo "ok   /$f"; else echo "MISSING /$f"; exit 1; fi
done
dpkg --root="$root" -s verbana | grep -E '^(Status|Version)'

failed=0
echo "--- appstreamcli validate (no network: the screenshots are not fetched)"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$id.metainfo.xml" || failed=1
echo "--- desktop-file-validate"
if out=$(desktop-file-validate "$root/usr/share/applications/$id.desktop" 2>&1) && [ -z "$out" ]; then
  echo "clean"
else
  echo "$out"; failed=1
fi
echo "--- the BCK MIME type: xmllint and update-mime-database"
mime=$(mktemp -d)
mkdir -p "$mime/mime/packages"
cp "$root/usr/share/mime/packages/verbana.xml" "$mime/mime/packages/"
xmllint --noout "$mime/mime/packages/verbana.xml" || failed=1
# Quiet unless the file has something to say (or the folder is not searched).
out=$(XDG_DATA_DIRS="$mime" update-mime-database "$mime/mime" 2>&1) || failed=1
if [ -n "$out" ]; then echo "$out"; failed=1; fi
# One line per glob: a duplicate would be a second pattern matching the same names.
globs=$(grep -c '^[0-9]*:application/x-verbana-bck:' "$mime/mime/globs2" || true)
if [ "$globs" = 1 ]; then echo "clean: $(grep -o 'application/x-verbana-bck:.*' "$mime/mime/globs2")"; else failed=1; fi
rm -rf "$mime"
echo "--- lintian"
# Info and pedantic tags too, so that what is left is seen; only errors fail.
tags=$(lintian --display-info --pedantic --allow-root "$deb" 2>&1 || true)
echo "${tags:-clean}"
echo "lintian: errors $(grep -c '^E:' <<<"$tags" || true), warnings $(grep -c '^W:' <<<"$tags" || true)," \
     "info $(grep -c '^I:' <<<"$tags" || true), pedantic $(grep -c '^P:' <<<"$tags" || true)"
grep -q '^E:' <<<"$tags" && failed=1
if [ $failed -ne 0 ]; then echo "package check FAILED"; exit 1; fi
echo "package check passed"
