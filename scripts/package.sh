#!/usr/bin/env bash
# Builds the Debian package of the utility from the project's install rules:
#   scripts/package.sh      -> build-package/quillbox-repair_VERSION_ARCH.deb
# A release build with Debian's hardening flags; its dependencies are found by
# dpkg-shlibdeps. Checks the package with lintian, which must find no error
# and no warning.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build=build-package
echo "package: configuring a release build in $build/"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUILLBOX_BUILD_TESTS=OFF -DQUILLBOX_BUILD_BENCHMARKS=OFF >/dev/null
echo "package: building"
cmake --build "$build" -j2
echo "package: making the .deb"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/*.deb)
dpkg-deb --field "$deb" Package Version Depends
echo "package: lintian $deb"
lintian --fail-on error,warning --tag-display-limit 0 "$deb"
echo "package: $deb"
