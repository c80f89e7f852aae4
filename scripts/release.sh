#!/usr/bin/env bash
# Builds the release files of the checked-out commit into dist/:
#   Hexalune-<version>-setup.exe and Hexalune-<version>-portable.zip (the i686 program),
#   SHA256SUMS of the two,
#   winget/Hexalune/Hexalune/<version>/ the winget manifests (version, default locale, installer),
#   scoop/hexalune.json the Scoop manifest of the portable zip.
# The version, the publisher and the web addresses come from the build (CMakeLists.txt); the
# build is made afresh, so two runs on one commit give the same files byte for byte.
# Usage: scripts/release.sh [dist-folder [build-folder]]   (default: dist/ and build/release/)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dist="${1:-$here/dist}"
tree="${2:-$here/build/release}"

"$here/scripts/ensure-packages.sh"

# The files carry the last commit's time, which CMakeLists.txt asks git for: a release needs one.
[ -n "${SOURCE_DATE_EPOCH:-}" ] || git -C "$here" log -1 --format=%ct >/dev/null ||
    { echo "No commit time: release from a git clone, or set SOURCE_DATE_EPOCH" >&2; exit 1; }

rm -rf "$tree"
"$here/scripts/configure.sh" i686 "$tree" >/dev/null
cmake --build "$tree" -j"$(nproc)" --target package-windows

. "$tree/generated/release-settings.sh"
version=$HEXALUNE_VERSION_TEXT
setup=Hexalune-$version-setup.exe
portable=Hexalune-$version-portable.zip
rm -rf "$dist"
mkdir -p "$dist"
cp "$tree/package/$setup" "$tree/package/$portable" "$dist/"
(cd "$dist" && sha256sum "$setup" "$portable" >SHA256SUMS)

sha256() { sha256sum "$dist/$1" | cut -d' ' -f1; }
setup_sha=$(sha256 "$setup")
portable_sha=$(sha256 "$portable")
files_url=${HEXALUNE_RELEASE_FILES_URL//\$version/$version}
release_date=$(date -u -d "@$HEXALUNE_SOURCE_DATE_EPOCH" +%F)
short_description="Shows an I Ching hexagram for the day, at the time of day you choose."

# winget: the publisher's part of the identifier cannot hold spaces; Publisher and PackageName
# are the names the installer gives its "Apps and features" entry.
id=Hexalune.Hexalune
schema=1.12.0
winget="$dist/winget/${id%%.*}/${id#*.}/$version"
mkdir -p "$winget"
header() {
    echo "# Made by scripts/release.sh for Hexalune $version."
    echo "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.$1.$schema.schema.json"
    echo
    echo "PackageIdentifier: $id"
    echo "PackageVersion: \"$version\""
}
{
    header version
    cat <<EOF
DefaultLocale: en-US
ManifestType: version
ManifestVersion: $schema
EOF
} >"$winget/$id.yaml"
{
    header defaultLocale
    cat <<EOF
PackageLocale: en-US
Publisher: $HEXALUNE_PUBLISHER
PublisherUrl: $HEXALUNE_HOME_URL
PublisherSupportUrl: $HEXALUNE_ONLINE_HELP_URL
PackageName: Hexalune
PackageUrl: $HEXALUNE_HOME_URL
License: MIT
ShortDescription: $short_description
Description: >-
  Hexalune draws an I Ching hexagram each day and shows its figure and name, the judgment and
  the image as verse and as prose, and the day's changing lines with the hexagram they lead to.
  It keeps the reading for the whole day, comes up at the time you choose, waits in the
  notification area and can start with Windows.
Moniker: hexalune
Tags:
- i-ching
- hexagram
ManifestType: defaultLocale
ManifestVersion: $schema
EOF
} >"$winget/$id.locale.en-US.yaml"
{
    header installer
    cat <<EOF
Platform:
- Windows.Desktop
ReleaseDate: $release_date
Installers:
- Architecture: x86
  InstallerType: nullsoft
  Scope: user
  InstallerUrl: $files_url$setup
  InstallerSha256: ${setup_sha^^}
  InstallModes:
  - interactive
  - silent
  - silentWithProgress
  InstallerSwitches:
    Silent: /S
    SilentWithProgress: /S
  UpgradeBehavior: install
- Architecture: x86
  InstallerType: zip
  NestedInstallerType: portable
  NestedInstallerFiles:
  - RelativeFilePath: Hexalune.exe
    PortableCommandAlias: hexalune
  InstallerUrl: $files_url$portable
  InstallerSha256: ${portable_sha^^}
ManifestType: installer
ManifestVersion: $schema
EOF
} >"$winget/$id.installer.yaml"

# Scoop: the portable zip; checkver reads the newest version off the download page, and
# autoupdate takes the new zip's hash from the SHA256SUMS beside it.
mkdir -p "$dist/scoop"
cat >"$dist/scoop/hexalune.json" <<EOF
{
    "version": "$version",
    "description": "$short_description",
    "homepage": "$HEXALUNE_HOME_URL",
    "license": "MIT",
    "url": "$files_url$portable",
    "hash": "$portable_sha",
    "bin": "Hexalune.exe",
    "shortcuts": [
        [
            "Hexalune.exe",
            "Hexalune"
        ]
    ],
    "checkver": {
        "url": "$HEXALUNE_DOWNLOAD_URL",
        "regex": "Hexalune-([\\\\d.]+)-portable\\\\.zip"
    },
    "autoupdate": {
        "url": "${HEXALUNE_RELEASE_FILES_URL}Hexalune-\$version-portable.zip",
        "hash": {
            "url": "\$baseurl/SHA256SUMS"
        }
    }
}
EOF

echo "Release $version (commit time $(date -u -d "@$HEXALUNE_SOURCE_DATE_EPOCH" '+%F %T') UTC) in $dist:"
cat "$dist/SHA256SUMS"
