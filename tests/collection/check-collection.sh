#!/bin/bash
# Checks the collection velqo.box as `make collection` staged it (build/collection),
# the files it ships plus galaxy.yml, in a fresh ansible_collections folder:
#  - Ansible's module validator, with the collection's tests/sanity ignore file;
#  - ansible-lint with the production profile (galaxy.yml, changelog, examples);
#  - the unit tests of the plugin code (its tests/unit), with pytest.
# Each must report nothing. No box is contacted.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
stage=$root/build/collection/velqo/box
version=$(sed -n 's/^version: "\(.*\)"$/\1/p' "$stage/galaxy.yml")
work=$(mktemp -d /tmp/velqo-collection-check-XXXXXX)
trap 'rm -rf "$work"' EXIT
collection=$work/ansible_collections/velqo/box
mkdir -p "$(dirname "$collection")"
cp -r "$stage" "$collection"
# Debian's Python, where the packages are (not one that PATH may put first).
python=/usr/bin/python3
# The collection importable and findable, every cache in the work folder.
export ANSIBLE_COLLECTIONS_PATH=$work PYTHONPATH=$work XDG_CACHE_HOME=$work/cache \
    ANSIBLE_LOCAL_TEMP=$work/ansible-tmp PYTHONDONTWRITEBYTECODE=1 NO_COLOR=1

"$python" "$root/tests/collection/validate_modules.py" "$collection" --version "$version"

cd "$collection"
timeout 600 ansible-lint --offline --profile production
cd "$root"

timeout 600 "$python" -m pytest -p no:cacheprovider -q "$collection/tests/unit"
echo "check-collection: validate-modules, ansible-lint and the unit tests report nothing"
