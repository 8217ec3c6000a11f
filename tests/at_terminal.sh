#!/usr/bin/env bash
# Runs a chord program at a terminal as a user does, in a pane of a tmux server
# of our own: from sh, which then shows its status, whether the terminal's mode
# is as before, and how many typed bytes no one read.
#   at_terminal.sh key KEYS -- command...        input from nowhere; the keys end the wait
#   at_terminal.sh signal NAME -- command...     the signal ends it
#   at_terminal.sh typed CASE KEYS -- command... the case's input typed at the order
#                                                prompt, its transcript on the screen
#   at_terminal.sh ahead KEYS -- command...      the keys typed before it starts
#   at_terminal.sh redirected -- command...      output to a file: no wait
#   at_terminal.sh stop SIGNAL [bg] KEYS -- command...
#                                                from sh -i: stopped by the signal while it
#                                                waits, [bg first: the terminal left alone
#                                                while in the background,] then fg, and the
#                                                keys end it
#   at_terminal.sh discarded SIGNAL KEYS -- command...
#                                                a stop the kernel discards, as the pane's
#                                                process group has no shell to continue it:
#                                                it goes on waiting, and the keys end it
# KEYS are tmux send-keys arguments: -H 1b 5b 41, -l я, Up. With -n first, the
# program writes no line end of its own after the key, as on Windows.
set -uo pipefail
line_end=$'\r\n'
[[ $1 == -n ]] && line_end= && shift
scenario=$1 args=()
while shift && [[ $# -gt 0 && $1 != -- ]]; do args+=("$1"); done
shift
work=$(mktemp -d) server=chord-$$
trap 'tmux -L "$server" kill-server 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
fail() {
    echo "$scenario ${args[*]}: $*; the screen:"
    screen
    exit 1
}
pane() { tmux -u -L "$server" "$@"; }
screen() { pane capture-pane -p; }
# Waits up to 20 s for the screen to show text and, if given, the terminal to
# be in those modes: -icanon is the key wait's.
await() {
    for _ in $(seq 200); do
        if screen | grep -qF -- "$1"; then
            local mode=" $(stty -F "$tty" -a | tr '\n' ' ') " flag in=yes
            for flag in ${2:-}; do [[ $mode == *" $flag "* ]] || in=; done
            [[ -n $in ]] && return 0
        fi
        sleep 0.1
    done
    fail "never showed \"$1\" ${2:-}"
}

echo 'echo "status $?"; [ "$(stty -g)" = "$(cat before)" ] && echo restored
stty -icanon min 0 time 0; echo "unread $(head -c 99 | wc -c)"' >end
declare -A redirection=([typed]= [redirected]='</dev/null >output')
run="stty -g >before; $([[ $scenario == ahead ]] && echo 'sleep 1;') $(printf '%q ' "$@") ${redirection[$scenario]-</dev/null}"
if [[ $scenario == stop ]]; then
    SHELL=/bin/sh pane -f /dev/null new-session -d -x 100 -y 30 "exec sh -i"
    pane send-keys -l "$run"
    pane send-keys C-m
else
    SHELL=/bin/sh pane -f /dev/null new-session -d -x 100 -y 30 "ulimit -c 0; $run; . ./end; sleep 60"
fi
tty=$(pane display -p '#{pane_tty}')
case $scenario in
ahead | redirected)
    ((${#args[@]} == 0)) || pane send-keys "${args[@]}"
    await unread
    diff <(printf 'status 0\nrestored\nunread 0\n') <(screen | grep -A2 '^status') || fail "not ended by itself"
    exit 0
    ;;
typed)
    case=$(dirname "$0")/cases/${args[0]}.txt
    input=$(head -n 1 "$case")
    input=${input%\\n}
    await "уравнения:"
    pane send-keys -l "$input"
    pane send-keys C-m
    # The screen: the input echoed behind the order prompt.
    tail -n +2 "$case" | sed "0,/уравнения: /s//&$input\\n/; s/ *$//" >expected
    args=("${args[@]:1}")
    await "Нажмите любую клавишу"
    sleep 1
    diff expected <(screen | head -n "$(wc -l <expected)") || fail "not the transcript"
    ;;
stop)
    await "Нажмите любую клавишу" -icanon
    pkill "-${args[0]}" -P "$(pane display -p '#{pane_pid}')"
    # Stopped, it gives the terminal back in the mode it found.
    await Stopped icanon
    args=("${args[@]:1}")
    if [[ ${args[0]} == bg ]]; then
        # In the background the mode is the shell's: the program does not
        # touch it, and its read stops it again.
        args=("${args[@]:1}")
        pane send-keys -l bg
        pane send-keys C-m
        sleep 1
        await Stopped "icanon echo"
    fi
    pane send-keys -l 'fg; . ./end'
    pane send-keys C-m
    # Once sh has run fg, chord must be back in the wait's mode.
    sleep 1
    await "Нажмите любую клавишу" -icanon
    ;;
discarded)
    await "Нажмите любую клавишу" -icanon
    pkill "-${args[0]}" -P "$(pane display -p '#{pane_pid}')"
    args=("${args[@]:1}")
    sleep 0.5
    await "Нажмите любую клавишу" -icanon
    ;;
*)
    # The prompt may be in a character set the pane does not show; the mode
    # is the wait's.
    await "A()=" -icanon
    sleep 0.2
    ;;
esac
screen | grep -q '^status' && fail "ended before a key was pressed"
pane pipe-pane "cat >after"
# No echo of the key, and a line end of its own for what follows; after a
# signal, from sh only its status.
expected=$'status 0\r\nrestored\r\nunread 0\r\n'
if [[ $scenario == signal ]]; then
    pkill "-${args[0]}" -P "$(pane display -p '#{pane_pid}')"
    expected=$'status '$((128 + $(kill -l "${args[0]}")))${expected#*0}
    line_end=
else
    pane send-keys "${args[@]}"
fi
for _ in $(seq 200); do
    grep -q unread after && break
    sleep 0.1
done
[[ $scenario == signal ]] && sed -i -n '/^status/,$p' after
expected=$line_end$expected
cmp -n ${#expected} after <(printf %s "$expected") || fail "after the closing prompt came: $(od -c after)"
