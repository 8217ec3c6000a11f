#!/usr/bin/env bash
# Runs chord.exe under Wine with its input piped in and no console, and checks
# that it writes the expected transcript as a Russian Windows writes it to a
# redirected stream: in the OEM code page, 866, with CR LF line ends. With no
# console the key wait returns at once, so the run ends by itself.
#
#   transcript.sh chord.exe input expected.txt
# input is given as printf's %b reads it; expected.txt is UTF-8 with LF.
set -euo pipefail
exe=$1 input=$2 expected=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
iconv -f UTF-8 -t CP866 "$expected" | sed -z 's/\n/\r\n/g' >"$work/expected"

status=0
printf '%b' "$input" | LC_ALL=ru_RU.UTF-8 setsid -w timeout 60 wine "$exe" >"$work/output" || status=$?
if ((status != 0)); then
    echo "chord.exe ended with status $status"
    exit 1
fi
if ! cmp "$work/expected" "$work/output"; then
    echo "expected (as UTF-8):"
    cat "$expected"
    echo
    echo "written (as UTF-8):"
    iconv -f CP866 -t UTF-8 "$work/output" | tr -d '\r'
    echo
    exit 1
fi
