#!/usr/bin/env bash
# Japanese typed as a Japanese user types it: through ibus with mozc, run as an ordinary user (mozc's
# converter refuses root). An untouched page quits without a question; compositions commit once, in
# Shift-JIS (〜 as 0x8160), white after a coloured tag, before a command runs and when the pane is
# clicked; Esc cancels; another program's clipboard text comes in and the editor's goes out.
EXTRA_TOOLS="ibus-daemon ibus xclip setpriv dbus-daemon"
. "$(dirname "$0")/lib.sh"
[ -x /usr/lib/ibus-mozc/ibus-engine-mozc ] || { [ "${CI:-}" = true ] && fail "ibus-mozc is missing"; echo "SKIP: no ibus-mozc"; exit $SKIP; }

USER_ID=65534
IM_HOME="$WORK/home"
IM_PID=""
DBUS_PID=""
mkdir -p "$IM_HOME/.config/mozc" "$IM_HOME/.cache" "$IM_HOME/.local/share" "$IM_HOME/runtime" "$XDG_STATE_HOME"
chmod 700 "$IM_HOME/runtime"
# mozc starts in hiragana.
cat >"$IM_HOME/.config/mozc/ibus_config.textproto" <<'EOF'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
EOF
chown -R "$USER_ID:$USER_ID" "$WORK"

as_user() {
    setpriv --reuid=$USER_ID --regid=$USER_ID --clear-groups \
        env HOME="$IM_HOME" XDG_CONFIG_HOME="$IM_HOME/.config" XDG_CACHE_HOME="$IM_HOME/.cache" \
        XDG_DATA_HOME="$IM_HOME/.local/share" XDG_RUNTIME_DIR="$IM_HOME/runtime" XDG_STATE_HOME="$XDG_STATE_HOME" \
        DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-}" DISPLAY="${DISPLAY:-}" "$@"
}

stop_input_method() {
    local rc=$?
    set +e
    if [ -n "$APP_PID" ]; then kill "$APP_PID" 2>/dev/null; wait "$APP_PID" 2>/dev/null; APP_PID=""; fi
    if [ -n "$IM_PID" ]; then kill "$IM_PID" 2>/dev/null; wait "$IM_PID" 2>/dev/null; fi
    [ -n "$DBUS_PID" ] && kill "$DBUS_PID" 2>/dev/null
    # mozc's converter server leaves its parent; it is ours when it runs with our home folder.
    local pid
    for pid in $(pgrep -U $USER_ID 2>/dev/null); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "HOME=$IM_HOME" && kill "$pid" 2>/dev/null
    done
    (exit $rc)
    cleanup
}
trap stop_input_method EXIT

# engine NAME: ibus's engine for every window. The command's status is no guide: it fails when it cannot
# run setxkbmap for the layout, which the test does not need.
engine() {
    as_user ibus engine "$1" >/dev/null 2>&1 || true
    [ "$(as_user ibus engine)" = "$1" ] || fail "ibus did not take engine $1"
    sleep 0.3
}

start_input_method() {
    start_x
    local bus
    bus=$(as_user dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | sed -n 1p)
    DBUS_PID=$(echo "$bus" | sed -n 2p)
    as_user ibus-daemon -rx >"$WORK/ibus.log" 2>&1 &
    IM_PID=$!
    local i
    for i in $(seq 100); do
        as_user ibus engine >/dev/null 2>&1 && break
        kill -0 "$IM_PID" 2>/dev/null || fail "ibus-daemon ended: $(cat "$WORK/ibus.log")"
        sleep 0.1
    done
    engine mozc-jp
    RUN_EDITOR=(setpriv --reuid=$USER_ID --regid=$USER_ID --clear-groups env HOME="$IM_HOME"
        XDG_CONFIG_HOME="$IM_HOME/.config" XDG_CACHE_HOME="$IM_HOME/.cache" XDG_DATA_HOME="$IM_HOME/.local/share"
        XDG_RUNTIME_DIR="$IM_HOME/runtime" XDG_STATE_HOME="$XDG_STATE_HOME" DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"
        QT_IM_MODULE=ibus XMODIFIERS=@im=ibus)
}

# romaji KEYS: typed into mozc, a key at a time as a user types.
romaji() { xdotool type --delay 80 "$1"; sleep 0.5; }

# A file dialog's name field gets the path from the clipboard: keys typed fast through ibus can arrive
# out of order ("/tmp" became "/mtp"), as Qt hands each one to the input method and back.
choose_file_pasted() {
    local id
    id=$(wait_titled "$1")
    activate "$id"
    printf '%s' "$2" | as_user xclip -selection clipboard -i
    keys ctrl+v
    shot "file-dialog"
    xdotool key Return
    wait_closed "$id"
    sleep 0.3
}

# Esc closes mozc's suggestions, a second Esc cancels the composition.
cancel_composition() { keys Escape Escape; }

# click_in_window X Y: a click at a point of the main window's own area.
click_in_window() { xdotool mousemove --window "$MAIN" "$1" "$2" click 1; sleep 0.5; }
# Points of the window as it is laid out on this screen: the toolbar's row, its "タグ" tab, the pane's first line.
BUTTON_ROW=33
TAGS_TAB_X=95
TABS_ROW=60
BOLD_BUTTON_X=144
FIRST_LINE=81
LINE_HEIGHT=18

start_input_method

# An untouched page: the focus, and a composition shown and cancelled, change nothing.
start_editor
romaji nihongo
cancel_composition
sleep 3
[ -z "$(ls "$XDG_STATE_HOME"/vela/*.kvr 2>/dev/null)" ] || fail "a recovery copy of an untouched page"
quit_editor
sleep 1
[ -z "$(visible_windows | grep -vx "$MAIN" || true)" ] || fail "an untouched page asked to be saved"
wait_exit

start_editor
click_in_window $TAGS_TAB_X $TABS_ROW
caret_to_head_line
romaji nihongo
shot composition
keys Return
# mozc's "~" is U+301C, which Shift-JIS holds at 0x8160.
romaji '~'
keys Return
# A toolbar button in the middle of a composition enters it where it is shown first; what is composed
# after the coloured tag is drawn white.
romaji kana
click_in_window $BOLD_BUTTON_X $BUTTON_ROW
romaji futo
shot composition-after-tag
keys Return
# A click elsewhere in the pane enters the composition once, where it was shown.
romaji nihongo
click_in_window 600 $FIRST_LINE
engine xkb:us::eng
type_text 'x'
engine mozc-jp
romaji kesu
cancel_composition
# Another program's text comes in, ours goes out in CP932's own mapping (0x8160 is U+FF5E).
keys ctrl+End
printf '〜①é\nz' | as_user xclip -selection clipboard -i
menu e p
menu e a
menu e c
PAGE='<HTML>x\n<HEAD>\nにほんご〜かな<B>ふとにほんご</B>\n</HEAD>\n\n</HTML>〜①&#xE9;\nz'
sleep 0.5
[ "$(as_user xclip -selection clipboard -o)" = "$(printf "$PAGE" | sed 's/〜/～/g')" ] ||
    fail "copied out: $(as_user xclip -selection clipboard -o)"
keys ctrl+End
menu f c
choose_file_pasted 'HTMLファイル(*.htm)の作成' "$WORK/ime.htm"
expect_cp932 "$WORK/ime.htm" "${PAGE//\\n/\\r\\n}"
# Saved, the page quits without a question.
menu f a
choose_file_pasted '名前を付けて保存' "$WORK/ime.kvd"
eventually settled "$WORK/ime.kvd" || fail "Save As wrote nothing"
quit_editor
sleep 1
[ -z "$(visible_windows | grep -vx "$MAIN" || true)" ] || fail "a saved page asked to be saved"
wait_exit

# The candidate window at the foot of the pane.
start_editor
keys ctrl+End
xdotool key --repeat 46 --delay 30 Return
romaji kanji
keys space space
shot candidates-at-the-bottom
cancel_composition
quit_editor
answer_question No
wait_exit
echo PASS
