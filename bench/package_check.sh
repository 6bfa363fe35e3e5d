#!/usr/bin/env bash
# Makes the Debian package, lists it, and installs it into a scratch root
# (dpkg --root: no container, nothing touches the machine's own system),
# then checks that the program, the converter, the samples, the help, the
# menu entry, the icons and the BCK MIME type landed where the desktop
# looks for them.
#   bench/package_check.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
cmake --build "$build" --target verbana hwp2txt verbana_samples verbana_help >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/verbana_*.deb | head -1)
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb --field "$deb" Package Version Architecture Depends
echo "--- contents"
dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '/$'

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
# The scratch root has none of the libraries the package depends on.
dpkg --root="$root" --force-depends --force-script-chrootless --no-triggers -i "$deb" >/dev/null 2>&1
echo "--- installed into a scratch root"
for f in usr/bin/verbana usr/bin/Hwp2txt usr/share/applications/verbana.desktop \
         usr/share/mime/packages/verbana.xml usr/share/icons/hicolor/scalable/apps/verbana.svg \
         usr/share/icons/hicolor/48x48/apps/verbana.png usr/share/verbana/help/index.html \
         usr/share/verbana/help/10.html usr/share/verbana/samples; do
  if [ -e "$root/$f" ]; then echo "ok   /$f"; else echo "MISSING /$f"; exit 1; fi
done
dpkg --root="$root" -s verbana | grep -E '^(Status|Version)'
