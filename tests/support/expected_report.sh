#!/bin/sh
# The report of the default pass, as the clipboard holds it (CR LF line
# ends), titled with DATE.
# Usage: expected_report.sh DATE
set -eu
sed -e "1s|{date}|$1|" -e 's/$/\r/' "$(dirname "$0")/default_report.txt"
