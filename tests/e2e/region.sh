#!/bin/bash
# Runs the regional-format cases (RegionTest), those of each locale in a
# driver started under it: Wine takes a process's regional format from its
# LC_ALL, which a Windows parent cannot hand down to the calendar.
#   region.sh DRIVER.exe
set -euo pipefail
driver=$1
here=$(cd "$(dirname "$0")" && pwd)
# The cases are named after their locale, as "./de_DE_4".
mapfile -t locales < <("$here/run-e2e.sh" "$driver" --gtest_list_tests \
    --gtest_filter='Regions/RegionTest.*' | sed -n 's|^  [A-Za-z]*/\([a-z]*_[A-Z]*\)_[0-9]*.*|\1|p' | sort -u)
if [ ${#locales[@]} -eq 0 ]; then
    echo "region.sh: no regional-format cases found" >&2
    exit 1
fi
status=0
for locale in "${locales[@]}"; do
    echo "region.sh: the cases of $locale"
    LC_ALL=$locale.UTF-8 "$here/run-e2e.sh" "$driver" \
        --gtest_filter="Regions/RegionTest.*/${locale}_*" || status=1
done
exit $status
