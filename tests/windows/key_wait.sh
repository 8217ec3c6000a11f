#!/usr/bin/env bash
# Runs chord.exe under Wine with a console: in a tmux pane of its own server,
# the equation typed at the prompts. Once the roots are shown the program must
# still be waiting; then the given key must end it with status 0.
#
#   key_wait.sh chord.exe key
# key is a tmux key name: x, Space, Up, F5, ...
set -euo pipefail
exe=$1 key=$2

work=$(mktemp -d)
server=chord-key-wait-$$
trap 'tmux -L "$server" kill-server 2>/dev/null || true; rm -rf "$work"' EXIT

# Wine's console shows ASCII in any locale, so the ASCII parts of the
# dialogue are what is looked for.
# The pane gets Wine's settings from here, as a new tmux server may not.
settings=()
for name in WINEPREFIX WINEDEBUG WINEDLLOVERRIDES LC_ALL LOCPATH; do
    [[ -v $name ]] && settings+=(-e "$name=${!name}")
done
tmux -L "$server" -f /dev/null new-session -d -x 120 -y 40 "${settings[@]}" \
    "wine '$exe'; echo \$? >'$work/status'; sleep 60"

screen() { tmux -L "$server" capture-pane -p; }
# Waits up to 30 s for the pane to show the text.
await() {
    for _ in $(seq 300); do
        screen | grep -qF -- "$1" && return 0
        sleep 0.1
    done
    echo "the console never showed \"$1\":"
    screen
    exit 1
}

# The whole equation on the order's line, typed as soon as the program
# asks for the order.
await ":"
tmux -L "$server" send-keys -l "2 1 -3 2"
tmux -L "$server" send-keys C-m
await "x2=2 0i"
sleep 2
if [[ -e $work/status ]]; then
    echo "chord.exe ended before a key was pressed, status $(cat "$work/status")"
    screen
    exit 1
fi

tmux -L "$server" send-keys "$key"
for _ in $(seq 200); do
    [[ -s $work/status ]] && break
    sleep 0.1
done
if [[ ! -s $work/status ]]; then
    echo "chord.exe still waits 20 s after the key $key"
    screen
    exit 1
fi
status=$(cat "$work/status")
if [[ $status != 0 ]]; then
    echo "chord.exe ended with status $status"
    exit 1
fi
