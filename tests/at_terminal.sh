#!/usr/bin/env bash
# Runs a chord program at a terminal as a user does, in a tmux pane of our own, from sh, which then shows its status,
# whether the terminal's mode is as before, and how many typed bytes no one read. tests/CMakeLists.txt says each scenario:
#   at_terminal.sh [-n] [-f] key|signal|typed|ahead|redirected|stop|discarded|background|flurry|again [ARGUMENTS] -- command...
# -n: no line end of its own after the key, as on Windows; -f: 1100 descriptors open.
set -uo pipefail
line_end=$'\r\n'
[[ $1 == -n ]] && line_end= && shift
[[ $1 == -f ]] && shift && crowd="bash -c 'ulimit -n 2048; for d in {3..1102}; do eval \"exec \$d</dev/null\"; done; exec \"\$@\"' -"
scenario=$1 args=()
while shift && [[ $# -gt 0 && $1 != -- ]]; do args+=("$1"); done
shift
work=$(mktemp -d) server=chord-$$
trap 'tmux -L "$server" kill-server 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 1
fail() { echo "$scenario ${args[*]}: $*; the screen:"; screen; exit 1; }
pane() { tmux -u -L "$server" "$@"; }
screen() { pane capture-pane -p; }
type_line() { pane send-keys -l "$1" && pane send-keys C-m; }
# Whether the screen shows text and the terminal is in those modes (-icanon: the key wait's).
shows() {
    screen | grep -qF -- "$1" || return 1
    local mode=" $(stty -F "$tty" -a | tr '\n' ' ') " flag
    for flag in ${2:-}; do [[ $mode == *" $flag "* ]] || return 1; done
}
await() { for _ in $(seq 200); do "$@" && return 0 || sleep 0.1; done && fail "never: $*"; }
# The program's process in the pane's session (the kernel keeps 15 characters of its name); T stopped, S waiting.
program=${*: -1} && program=${program##*/} && program=${program:0:15}
pid() { pgrep -s "$(pane display -p '#{pane_pid}')" -x "$program"; }
in_state() { [[ $(ps -o stat= -p "$(pid)") == "$1"* ]]; }

echo 'echo "status $?"; [ "$(stty -g)" = "$(cat before)" ] && echo restored
stty -icanon min 0 time 0; echo "unread $(head -c 99 | wc -c)"' >end
# A job of its own in the foreground, as a shell makes it, but taken back by none when it stops.
echo 'use POSIX; open my $tty, "+<", "/dev/tty"; $SIG{TTOU} = "IGNORE";
unless ($job = fork) { setpgid 0, 0; tcsetpgrp fileno $tty, $$; $SIG{TTOU} = "DEFAULT"; exec @ARGV }
waitpid $job, 0; tcsetpgrp fileno $tty, getpgrp' >own_job
declare -A redirection=([typed]= [redirected]='</dev/null >output'
    [background]='</dev/null & until [ -e released ]; do sleep 0.1; done; stty $(cat before)')
declare -A before=([ahead]='until [ -e typed ]; do sleep 0.1; done;' [flurry]='perl own_job' [again]='perl own_job' [background]='stty -echo -icanon;')
run="stty -g >before; ${before[$scenario]-} ${crowd-} $(printf '%q ' "$@") ${redirection[$scenario]-</dev/null}"
if [[ $scenario == stop || $scenario == background ]]; then
    SHELL=/bin/sh pane -f /dev/null new-session -d -x 100 -y 30 "exec sh -i"
    type_line "$run"
else
    SHELL=/bin/sh pane -f /dev/null new-session -d -x 100 -y 30 "ulimit -c 0; $run; . ./end; sleep 60"
fi
tty=$(pane display -p '#{pane_tty}')
# Waiting for the key: the prompt, in a character set the pane may not show, and the wait's mode.
waits() { await shows "A()=" -icanon; }
[[ $scenario == @(key|signal|stop|flurry|again|discarded) ]] && waits
case $scenario in
ahead | redirected)
    ((${#args[@]} == 0)) || pane send-keys "${args[@]}"
    touch typed
    await shows unread
    diff <(printf 'status 0\nrestored\nunread 0\n') <(screen | grep -A2 '^status') || fail "not ended by itself"
    exit 0
    ;;
typed)
    # The case's input as one line typed, its line end the Enter of type_line.
    input=$(head -n 1 "$(dirname "$0")/cases/${args[0]}.txt" | perl -ne 'chomp; s/\\n$//; s/\\([nt\\])/{n => "\n", t => "\t", "\\" => "\\"}->{$1}/ge; print')
    await shows "уравнения:"
    type_line "$input"
    # The screen: the input echoed behind the order prompt.
    tail -n +2 "$(dirname "$0")/cases/${args[0]}.txt" | sed "0,/уравнения: /s//&$input\\n/; s/ *$//" >expected
    args=("${args[@]:1}")
    transcript() { diff -q expected <(screen | head -n "$(wc -l <expected)") >/dev/null; }
    await transcript
    ;;
stop)
    kill "-${args[0]}" "$(pid)"
    # Stopped, it gives back the mode it found; SIGSTOP it cannot catch: the shell does, as bash does.
    [[ ${args[0]} == STOP ]] && await in_state T && stty -F "$tty" "$(cat before)"
    await shows Stopped icanon
    args=("${args[@]:1}")
    if [[ ${args[0]} == bg ]]; then
        # In the background the mode is the shell's, untouched; the program's read stops it again.
        args=("${args[@]:1}")
        type_line bg
        stopped_by_its_read() { type_line jobs && screen | grep -q "Stopped (tty input)"; }
        await stopped_by_its_read
        await shows Stopped "icanon echo"
    fi
    ;;
background)
    # Stopped by its read in the background; the other program then gives the shell its mode back.
    await in_state T
    touch released
    await shows Stopped "icanon echo"
    ;;
flurry | again)
    # Signals sent 200 times by a script on another processor than the program's. flurry: frozen on its way to stop
    # once the mode is given back, and continued then. again: continued, and stopped again as soon as the wait's mode
    # is back, which may be before its handler of stops is: stopped, it has given back the mode each time.
    taskset -p -c 0 "$(pid)" >/dev/null
    declare -A signals=([flurry]='kill "TSTP", $pid; await \&canonical; kill "STOP", $pid; await sub { in("T") };'
        [again]='kill "TSTP", $pid; await sub { in("T") }; kill "CONT", $pid; for ($n = 0; canonical && $n < 1e6; ++$n) {}
            kill "TSTP", $pid; await sub { in("T") }; canonical or exit 2;')
    taskset -c "$(($(nproc) - 1))" perl -MPOSIX -e '($pid, $tty) = @ARGV; sysopen $t, $tty, O_RDONLY | O_NOCTTY; $mode = POSIX::Termios->new;
        sub canonical { $mode->getattr(fileno $t); $mode->getlflag & ICANON }
        sub in { open my $f, "<", "/proc/$pid/stat"; (split " ", <$f>)[2] eq $_[0] }
        sub await { for ($n = 0; !&{$_[0]}; ++$n) { exit 1 if $n == 2000; select undef, undef, undef, 0.01 } }
        for (1 .. 200) { '"${signals[$scenario]}"' kill "CONT", $pid; await sub { in("S") && !canonical } }' "$(pid)" "$tty" ||
        fail "left stopped (1), or stopped in the wait's mode (2): $?"
    ;;
discarded)
    kill "-${args[0]}" "$(pid)"
    args=("${args[@]:1}")
    # Taken by the program: pending no more.
    taken() { ! grep -qE '^(SigPnd|ShdPnd):\s*0*[1-9a-f]' "/proc/$(pid)/status"; }
    await taken
    ;;
esac
# After fg, and after any stop, the program must be back in the wait's mode.
[[ $scenario == @(stop|background) ]] && type_line 'fg; . ./end'
[[ $scenario == @(stop|background|flurry|again|discarded) ]] && waits
screen | grep -q '^status' && fail "ended before a key was pressed"
pane pipe-pane "cat >after"
# No echo of the key, and a line end of its own for what follows; after a signal, only sh's status.
expected=$'status 0\r\nrestored\r\nunread 0\r\n'
if [[ $scenario == signal ]]; then
    kill "-${args[0]}" "$(pid)"
    expected=$'status '$((128 + $(kill -l "${args[0]}")))${expected#*0}
    line_end=
else
    pane send-keys "${args[@]}"
fi
await grep -q unread after
[[ $scenario == signal ]] && sed -i -n '/^status/,$p' after
expected=$line_end$expected
cmp -n ${#expected} after <(printf %s "$expected") || fail "after the closing prompt came: $(od -c after)"
