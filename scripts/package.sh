#!/bin/bash
# Builds both Windows programs and makes their release zips,
# build/packages/trical-VERSION-win32.zip and -win64.zip, and lists them.
set -euo pipefail
exec "$(dirname "$0")/test.sh" package
