#!/usr/bin/env bash
# Runs a chord program through every dialogue case in tests/cases, its input piped in, in a session of its own with no
# terminal, so that the key wait returns at once: each run ends with status 0 and writes the case's transcript in the
# given character set and line end.   transcripts.sh charset lf|crlf command...
charset=$1 cr=
[[ $2 == crlf ]] && cr=$'\r'
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for case in "$(dirname "$0")"/cases/*.txt; do
    tail -n +2 "$case" | head -c -1 | iconv -f UTF-8 -t "$charset" | sed -z "s/\n/$cr\n/g" >"$work/expected"
    # The input: \n a line end, \t a tab, \\ a backslash.
    run() { head -n 1 "$case" | perl -ne 'chomp; s/\\([nt\\])/{n => "\n", t => "\t", "\\" => "\\"}->{$1}/ge; print' |
        setsid -w timeout 60 "$@" >"$work/output"; }
    run "$@"
    status=$?
    # Wine now and then fails to start a program, with status 1 before a byte is written (chord always writes its
    # title first): that case runs once more, and the log says so. A fault of chord's own fails both times.
    if ((status == 1)) && [[ ! -s $work/output && " $* " == *" wine "* ]]; then
        echo "$(basename "$case"): Wine did not start the program, run again" >&2
        run "$@"
        status=$?
    fi
    if ((status != 0)) || ! cmp -s "$work/expected" "$work/output"; then
        echo "$(basename "$case"): status $status; expected (<) and written (>), as UTF-8:"
        diff <(iconv -f "$charset" -t UTF-8 "$work/expected") <(iconv -f "$charset" -t UTF-8 "$work/output")
        failed=1
    fi
done
exit $failed
