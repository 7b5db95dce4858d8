# Shared driver for the end-to-end scenarios: one Xvfb with a window manager (openbox, as users have one),
# one editor, a fresh working folder.
# Sourced by each scenario script; the scenario calls start_editor and the helpers below.
set -euo pipefail

VELA=${1:?usage: scenario.sh PATH_TO_VELA ARTIFACT_DIR}
ARTIFACTS=${2:-/tmp}
SCENARIO=$(basename "$0" .sh)
SKIP=77

fail() { echo "FAIL: $*" >&2; shot "failure" || true; exit 1; }

# Missing tools skip locally but fail under CI, so a broken image cannot pass silently.
require() {
    local missing=()
    for tool in Xvfb openbox xdotool xdpyinfo xwininfo xprop import ${EXTRA_TOOLS:-}; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || missing+=("ja_JP.UTF-8 locale")
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "${CI:-}" = true ]; then echo "FAIL: missing ${missing[*]}" >&2; exit 1; fi
    echo "SKIP: missing ${missing[*]}"; exit $SKIP
}
require

WORK=$(mktemp -d /tmp/vela-e2e.XXXXXX)
XVFB_PID=""
WM_PID=""
APP_PID=""
MAIN=""
SHOT=0

cleanup() {
    local rc=$?
    set +e
    if [ -n "$APP_PID" ]; then kill "$APP_PID" 2>/dev/null; wait "$APP_PID" 2>/dev/null; fi
    if [ -n "$WM_PID" ]; then kill "$WM_PID" 2>/dev/null; wait "$WM_PID" 2>/dev/null; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
    if [ $rc -eq 0 ]; then rm -rf "$WORK"; else echo "working folder kept: $WORK" >&2; fi
    exit $rc
}
trap cleanup EXIT
rm -f "$ARTIFACTS/$SCENARIO"-*.png

# A display of our own. Xvfb picks a free number itself (-displayfd) and writes it once it takes
# connections: choosing one here by looking for lock files raced with the tests of other checkouts,
# and the loser drove the winner's display until that one went away.
start_x() {
    local try i n
    for try in 1 2 3; do
        : >"$WORK/display"
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
        XVFB_PID=$!
        for i in $(seq 100); do
            n=$(cat "$WORK/display")
            # Written whole with its line break once the server takes connections.
            if [[ $n =~ ^[0-9]+$ ]] && [ "$(wc -c <"$WORK/display")" -gt ${#n} ]; then
                export DISPLAY=":$n"
                start_wm
                return 0
            fi
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    done
    echo "SKIP: Xvfb cannot start here: $(tail -3 "$WORK/xvfb.log" 2>/dev/null)"
    exit $SKIP
}

# openbox with its default configuration; ready once it has claimed the screen. A display that has just
# come up can still turn it away, so it gets three tries.
start_wm() {
    local try i
    for try in 1 2 3; do
        openbox --sm-disable >>"$WORK/openbox.log" 2>&1 &
        WM_PID=$!
        for i in $(seq 50); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
            kill -0 "$WM_PID" 2>/dev/null || break
            sleep 0.1
        done
        # openbox may have ended already: under set -e a failed kill ended the whole test here.
        kill "$WM_PID" 2>/dev/null || true
        wait "$WM_PID" 2>/dev/null || true
        WM_PID=""
        sleep 0.5
    done
    fail "the window manager did not start: $(tail -3 "$WORK/openbox.log" 2>/dev/null)"
}

shot() { # shot NAME: the whole screen, kept beside the test's other output
    [ -n "${DISPLAY:-}" ] || return 0
    SHOT=$((SHOT + 1))
    mkdir -p "$ARTIFACTS"
    import -window root "$ARTIFACTS/$SCENARIO-$SHOT-$1.png" 2>/dev/null || true
}

visible_windows() { xdotool search --onlyvisible --name '.' 2>/dev/null || true; }

# wait_window REGEX [SECONDS]: prints the id of the visible window whose title matches.
wait_window() {
    local pattern=$1 limit=${2:-10} i id
    for i in $(seq $((limit * 10))); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | grep -vx "${MAIN:-none}" | head -1 || true)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.1
    done
    fail "no window titled like '$pattern'"
}

# wait_titled TITLE [SECONDS]: prints the id of the visible window titled exactly so, as the X server has it.
wait_titled() {
    local id
    id=$(wait_window "^$(printf '%s' "$1" | sed 's/[][()*.+?^$|\\{}]/\\&/g')\$" "${2:-10}")
    expect_title "$id" "$1"
    echo "$id"
}

wait_closed() { # wait_closed ID [SECONDS]
    local id=$1 limit=${2:-10} i
    for i in $(seq $((limit * 10))); do
        visible_windows | grep -qx "$id" || return 0
        sleep 0.1
    done
    fail "window $id did not close"
}

# How the editor is started: a scenario may run it as another user, with more of the environment.
RUN_EDITOR=(env)

# start_editor [ARG...]: the editor in $WORK as its current folder, with the arguments given;
# returns once the splash has come and gone.
start_editor() { start_editor_with "" "$@"; }

# start_editor_answering Yes|No [ARG...]: start_editor where the start asks about unsaved work that an
# editor left when it was killed. The question comes a moment after the splash has gone; answered from
# the background, it raced with the check that nothing but the main window stays open.
start_editor_answering() { start_editor_with "answer_question $1" "${@:2}"; }

# start_editor_with "COMMAND [WORD...]"|"" [ARG...]: start_editor that runs COMMAND once the splash has gone,
# before it checks that only the main window is open (a window that comes then is answered in order,
# never from the background, which raced with that check).
start_editor_with() {
    local first
    read -ra first <<<"$1"
    shift
    [ -n "$XVFB_PID" ] || start_x
    (cd "$WORK" && exec "${RUN_EDITOR[@]}" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb "$VELA" "$@" \
        >>"$WORK/vela.log" 2>&1) &
    APP_PID=$!
    local i id
    MAIN=""
    for i in $(seq 100); do
        # The splash has the same title: the main window is the one wider than the splash.
        for id in $(xdotool search --onlyvisible --name '^VELA-VOVUZEZU DOZA RODORA' 2>/dev/null || true); do
            [ "$(client_geometry "$id" | cut -d' ' -f3)" -gt 400 ] 2>/dev/null && MAIN=$id
        done
        [ -n "$MAIN" ] && break
        kill -0 "$APP_PID" 2>/dev/null || fail "the editor ended at start: $(cat "$WORK/vela.log")"
        sleep 0.1
    done
    [ -n "$MAIN" ] || fail "no main window"
    # The window manager activates the new window, and with the first activation the splash shows.
    # The splash closes at its timer's next tick, at most 5 s on; after a slow start it may come and go
    # between two looks, so not seeing it within 6 s is no failure.
    # Only the splash is looked for: a question that follows it at once is answered below.
    local seen=0 others
    for i in $(seq 120); do
        others=$(xdotool search --onlyvisible --name '^VELA-VOVUZEZU DOZA RODORA' 2>/dev/null | grep -vx "$MAIN" || true)
        if [ -n "$others" ]; then
            [ $seen -eq 0 ] && shot splash
            seen=1
        elif [ $seen -eq 1 ] || [ $i -gt 60 ]; then
            break
        fi
        sleep 0.1
    done
    [ ${#first[@]} -eq 0 ] || "${first[@]}"
    [ -z "$(visible_windows | grep -vx "$MAIN" || true)" ] || fail "a window besides the main one stays open"
    focus_main
    # A file given opens after the splash, and its title is the scenario's to check.
    [ $# -gt 0 ] || expect_title "$MAIN" 'VELA-VOVUZEZU DOZA RODORA'
    expect_on_screen "$MAIN"
    # The pane takes the keyboard once clicked; the caret is then put back by keys, as a user would.
    xdotool mousemove --window "$MAIN" 640 600 click 1
    sleep 0.2
}

activate() { # activate ID: as clicking on the window does
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    sleep 0.3
}

focus_main() { activate "$MAIN"; }

# client_geometry ID: "X Y WIDTH HEIGHT" of the window's own area, frame not included.
client_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /^ *Width:/{w=$2} /^ *Height:/{h=$2} END{print x, y, w, h}'
}

# frame_geometry ID: "X Y WIDTH HEIGHT" with the window manager's frame.
frame_geometry() {
    local x y w h l r t b
    read -r x y w h <<<"$(client_geometry "$1")"
    read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,)"
    echo $((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))
}

# expect_title ID TEXT: the title exactly as the X server has it (xprop reads UTF-8 only in a UTF-8 locale).
expect_title() {
    local title
    title=$(LC_ALL=C.UTF-8 xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
    [ "$title" = "$2" ] || fail "window title '$title', expected '$2'"
}

# expect_on_screen ID: the window, frame included, lies within the screen.
expect_on_screen() {
    local x y w h sw sh
    read -r x y w h <<<"$(frame_geometry "$1")"
    read -r sw sh <<<"$(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) .*/\1 \2/p')"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$sw" ] && [ $((y + h)) -le "$sh" ] ||
        fail "window $1 at ${w}x${h}+${x}+${y} (frame included) leaves the ${sw}x${sh} screen"
}

# status_bar_inked: the bottom 25 pixels of the main window's own area, on the screen, show dark text.
status_bar_inked() {
    local x y w h
    read -r x y w h <<<"$(client_geometry "$MAIN")"
    import -window root -crop "${w}x25+${x}+$((y + h - 25))" +repage "$WORK/statusbar.png" 2>/dev/null
    [ "$(convert "$WORK/statusbar.png" -colorspace Gray -format '%[fx:int(minima*100)]' info:)" -lt 30 ]
}

# tag_colour_shown: the pane shows text in the tag colour (cyan), as a page whose tags are coloured does.
tag_colour_shown() {
    local x y w h
    read -r x y w h <<<"$(client_geometry "$MAIN")"
    import -window root -crop "${w}x$((h - 100))+${x}+$((y + 75))" +repage "$WORK/pane.png" 2>/dev/null
    # Read whole first: grep -q leaving a long histogram early made convert die of SIGPIPE, which
    # pipefail counted as no cyan.
    local colours
    colours=$(convert "$WORK/pane.png" -format %c histogram:info:) || return 1
    grep -qi '#00FFFF' <<<"$colours"
}

# expect_frame ID close|none: what the dialog asks of the window manager (Motif hints: no minimize or
# maximize; a close box only where it has one), and what the frame's buttons do under openbox, which
# draws minimize and maximize whatever a window asks: a minimized dialog comes back at once, and a close
# request closes only a dialog that has a close box.
expect_frame() {
    local id=$1 want=$2 hints flags functions i
    hints=$(xprop -id "$id" _MOTIF_WM_HINTS | sed -n 's/.*= //p' | tr -d ,)
    read -r flags functions _ <<<"$hints"
    [ $((flags & 1)) -eq 1 ] || fail "dialog $id leaves its frame functions to the window manager ($hints)"
    [ $((functions & 0x19)) -eq 0 ] || fail "dialog $id asks for minimize or maximize ($hints)"
    if [ "$want" = close ]; then
        [ $((functions & 0x20)) -ne 0 ] || fail "dialog $id has no close box ($hints)"
    else
        [ $((functions & 0x20)) -eq 0 ] || fail "dialog $id has a close box ($hints)"
    fi
    xdotool windowminimize "$id"
    for i in $(seq 30); do
        sleep 0.1
        xprop -id "$id" WM_STATE 2>/dev/null | grep -q 'window state: Normal' && break
    done
    xprop -id "$id" WM_STATE | grep -q 'window state: Normal' || fail "dialog $id stayed minimized"
    activate "$id"
    if [ "$want" = none ]; then
        xdotool key alt+F4
        sleep 0.5
        visible_windows | grep -qx "$id" || fail "dialog $id without a close box was closed by the window manager"
    fi
}

# close_by_frame ID: the window manager's close (openbox binds it to Alt+F4), as the close box does.
close_by_frame() {
    activate "$1"
    xdotool key alt+F4
    wait_closed "$1"
    sleep 0.3
}

keys() { # keys KEY...: one at a time, with time for menus to open
    local k
    for k in "$@"; do xdotool key "$k"; sleep 0.35; done
}

menu() { # menu LETTER...: Alt+first letter on the menu bar, then the mnemonics of the entries
    focus_main
    xdotool key "alt+$1"; sleep 0.4
    shift
    keys "$@"
}

# Each character not on the keyboard map costs xdotool a remap, which needs the slower pace.
type_text() { xdotool type --delay "${2:-60}" "$1"; sleep 0.3; }

# choose_file TITLE PATH: the file dialog that the last command opened, answered by its name field.
choose_file() {
    local id
    id=$(wait_titled "$1")
    activate "$id"
    shot "file-dialog"
    type_text "$2" 20
    xdotool key Return
    wait_closed "$id"
    sleep 0.3
}

# answer_question Yes|No|Cancel: the unsaved-changes question ("確認"); its buttons are はい, いいえ, キャンセル.
answer_question() {
    local id
    id=$(wait_titled '確認')
    activate "$id"
    shot "question"
    case $1 in
    Yes) xdotool key Return ;;
    No) xdotool key Tab; sleep 0.2; xdotool key space ;;
    Cancel) xdotool key Escape ;;
    esac
    wait_closed "$id"
    sleep 0.3
}

wait_exit() { # the editor ends within a few seconds
    local i
    for i in $(seq 50); do
        kill -0 "$APP_PID" 2>/dev/null || { wait "$APP_PID" || true; APP_PID=""; return 0; }
        sleep 0.1
    done
    fail "the editor is still running"
}

quit_editor() { menu f x; }

# same_bytes FILE EXPECTED_FILE
same_bytes() {
    local i
    # The program may still be writing when its dialog has gone: give it a moment.
    for i in $(seq 50); do
        cmp -s "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    [ -f "$1" ] || fail "$1 was not written"
    if ! cmp -s "$2" "$1"; then
        echo "expected:" >&2; od -c "$2" >&2
        echo "actual:" >&2; od -c "$1" >&2
        fail "$1 differs"
    fi
}

# expect_bytes FILE PRINTF_FORMAT: the file holds exactly these bytes.
expect_bytes() {
    local expected
    expected=$(mktemp "$WORK/expected.XXXXXX")
    printf "$2" >"$expected"
    same_bytes "$1" "$expected"
}

# expect_cp932 FILE PRINTF_FORMAT: as expect_bytes, the text given in UTF-8 and compared as CP932.
expect_cp932() {
    local expected
    expected=$(mktemp "$WORK/expected.XXXXXX")
    printf "$2" | iconv -f UTF-8 -t CP932 >"$expected"
    same_bytes "$1" "$expected"
}

# The caret to the empty line inside HEAD, where a fresh start puts it.
caret_to_head_line() { keys ctrl+Home Down Down; }

# eventually CMD...: true within 5 s; the program writes its files a moment after its dialogs close.
eventually() {
    local i
    for i in $(seq 50); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# settled FILE: exists and has stopped growing.
settled() {
    local before
    [ -f "$1" ] || return 1
    before=$(stat -c %s "$1")
    sleep 0.3
    [ "$before" = "$(stat -c %s "$1")" ]
}

absent() { [ ! -e "$1" ]; }

# The recovery copies of the editors a scenario starts stay in its folder, never in the home folder.
export XDG_STATE_HOME="$WORK/state"

# kill_editor: the editor ends at once, as in a crash or a power cut; nothing of it runs to clean up.
kill_editor() {
    kill -KILL "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
    APP_PID=""
}

# answer_report: the error report, titled as the program, not the main window and not the splash (which
# asks for no frame); OK closes it.
answer_report() {
    local i id flags decorations
    for i in $(seq 150); do
        for id in $(xdotool search --onlyvisible --name '^VELA-VOVUZEZU DOZA RODORA$' 2>/dev/null || true); do
            read -r flags _ decorations _ <<<"$(xprop -id "$id" _MOTIF_WM_HINTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ,)"
            (( (${flags:-0} & 2) != 0 && ${decorations:-1} == 0 )) && continue
            [ "$(client_geometry "$id" | cut -d" " -f3)" -lt 1000 ] 2>/dev/null || continue
            activate "$id"
            shot "report"
            xdotool key Return
            wait_closed "$id"
            return 0
        done
        sleep 0.1
    done
    fail "no error report"
}

