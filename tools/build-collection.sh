#!/bin/bash
# Builds the Ansible collection velqo.box from ansible/ into
# DIST/velqo-box-<version>.tar.gz (DIST: the first argument, else build/dist)
# with ansible-galaxy. The version is the program's one version, base/Version.h,
# as a semantic version: MAJOR.MINOR.0 of its numbers (1.001 is 1.1.0), which
# the collection's changelog must hold. The collection carries the project's LICENSE.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$(realpath -m "${1:-$root/build/dist}")
stage=$root/build/collection/velqo/box

number() {
    sed -n "s/^#define VELQO_VERSION_$1 \(0x[0-9A-Fa-f]\{1,3\}\)\$/\1/p" "$root/base/Version.h"
}
major=$(number MAJOR)
minor=$(number MINOR)
if [ -z "$major" ] || [ -z "$minor" ]; then
    echo "build-collection: no VELQO_VERSION_MAJOR/MINOR in base/Version.h" >&2
    exit 1
fi
version=$((major)).$((minor)).0
if ! grep -q "^  $version:\$" "$root/ansible/changelogs/changelog.yaml"; then
    echo "build-collection: ansible/changelogs/changelog.yaml has no release $version" >&2
    exit 1
fi

rm -rf "$stage"
mkdir -p "$stage" "$dist"
cp -r "$root/ansible/." "$stage/"
cp "$root/LICENSE" "$stage/LICENSE"
find "$stage" -name __pycache__ -prune -exec rm -rf {} +
sed "s/@VERSION@/$version/" "$root/ansible/galaxy.yml.in" >"$stage/galaxy.yml"
rm -f "$dist"/velqo-box-*.tar.gz
ansible-galaxy collection build "$stage" --output-path "$dist" --force
