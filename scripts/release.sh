#!/usr/bin/env bash
# Builds the release of this commit on a fresh Debian machine, installing what it needs first: for
# x86 and x64 each, a zip that runs where it is unpacked and a Windows Installer package, and
# SHA256SUMS of them. Two runs of one commit give the same zips and executables.
#
#   scripts/release.sh                       the version of CMakeLists.txt, into dist/
#   scripts/release.sh --version 1.1.0       a test build that calls itself another version
#   scripts/release.sh --arch x64            one architecture only
#   scripts/release.sh --dist DIR            into another folder
set -euo pipefail
cd "$(dirname "$0")/.."

version=
dist=dist
architectures=(x86 x64)
while [ $# -gt 0 ]; do
    case $1 in
        --version) version=${2:?--version needs X.Y.Z} ;;
        --dist) dist=${2:?--dist needs a folder} ;;
        --arch) case ${2:-} in
                    x86|x64) architectures=("$2") ;;
                    *) echo "--arch must be x86 or x64, not '${2:-}'" >&2; exit 2 ;;
                esac ;;
        *) sed -n '2,/^set/{/^#/s/^# \{0,1\}//p}' "$0" >&2; exit 2 ;;
    esac
    shift 2
done

scripts/setup.sh
git diff --quiet HEAD -- 2>/dev/null || echo "release: the work tree has changes that are not committed" >&2
# Every time in the release is the commit's: of the zips' entries and of the packages' files.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$dist"
dist=$(cd "$dist" && pwd)
installer=$PWD/installer/SerialKey.wxs

packages=()
for arch in "${architectures[@]}"; do
    # A build folder of its own each time, so that nothing of an earlier build slips in.
    build=$work/build-$arch
    cmake --preset "windows-$arch" -B "$build" ${version:+"-DSERIALKEY_VERSION=$version"} >/dev/null
    cmake --build "$build" --target SerialKey
    release_version=$(sed -n 's/^#define SERIALKEY_VERSION_TEXT "\(.*\)"$/\1/p' "$build/res/Version.h")
    name=SerialKey-$release_version-$arch

    files=$work/files-$arch
    mkdir "$files"
    cp "$build/app/SerialKey.exe" help/SerialKey.html "$files/"
    cp LICENSE "$files/LICENSE.txt"
    cp res/SerialKey.ico "$files/"  # the package's icon in the list of installed programs
    touch -d "@$SOURCE_DATE_EPOCH" "$files"/*
    /usr/bin/python3 scripts/reproducible-zip.py "$dist/$name.zip" \
        "$files/SerialKey.exe" "$files/SerialKey.html" "$files/LICENSE.txt"

    # One product code per version and architecture: installing the same package again repairs it
    # instead of registering SerialKey twice.
    product_code=$(/usr/bin/python3 -c 'import sys, uuid; print(uuid.uuid5(uuid.NAMESPACE_URL, sys.argv[1]))' \
                   "serialkey:$name")
    # wixl warns of what it ignores, and a warning stops the build. It takes the files by paths
    # relative to where it runs.
    (cd "$work" && G_DEBUG=fatal-warnings wixl --arch "$arch" -o "$dist/$name.msi" -D Version="$release_version" \
        -D Arch="$arch" -D ProductCode="$product_code" -D Files="files-$arch" "$installer")
    packages+=("$name.zip" "$name.msi")
done

(cd "$dist" && sha256sum "${packages[@]}" >SHA256SUMS)
echo "SerialKey $release_version in $dist/:"
cat "$dist/SHA256SUMS"
