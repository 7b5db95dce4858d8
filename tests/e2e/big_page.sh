#!/usr/bin/env bash
# A 10 MB page opened from the command line comes up with its tags coloured, and every line the pane
# shows is coloured wherever it is taken: at the start, in the middle by a drag of the scroll bar, at
# the end by Ctrl+End, each judged from a screenshot taken right after the move.
. "$(dirname "$0")/lib.sh"

# Numbered lines of tags and Japanese text, in CP932.
seq 1 156000 | awk '{printf "<P>行%06d の<B>本文</B>と<A HREF=\"p%d.htm\">リンク</A></P>\r\n", $1, $1}' |
    iconv -f UTF-8 -t CP932 >"$WORK/big.htm"
[ "$(stat -c %s "$WORK/big.htm")" -gt 10000000 ] || fail "the page is smaller than 10 MB"

# every_line_coloured NAME: the pane on the screen, as shot NAME; no band of 8 pixel rows shows text
# (more ink than a caret) without the tag colour.
every_line_coloured() {
    local x y w h png="$WORK/$1.png" rows
    read -r x y w h <<<"$(client_geometry "$MAIN")"
    # Inside the pane: below the tool bar, above the status bar, left of the scroll bar.
    import -window root -crop "$((w - 24))x$((h - 100))+$((x + 2))+$((y + 70))" +repage "$png" 2>/dev/null
    shot "$1"
    rows=$(identify -format %h "$png")
    paste <(convert "$png" -colorspace Gray -threshold 25% -scale "1x${rows}!" -depth 16 txt:- |
                sed 1d | awk '{print $2}' | tr -d '()' | cut -d, -f1) \
          <(convert "$png" -fuzz 25% -fill black +opaque '#00FFFF' -fill white -opaque '#00FFFF' \
                -colorspace Gray -scale "1x${rows}!" -depth 16 txt:- | sed 1d | awk '{print $2}' | tr -d '()' | cut -d, -f1) |
        awk '{ run = ($1 > 300 && $2 == 0) ? run + 1 : 0; if (run >= 8) { print "row " NR; exit 1 } }' ||
        fail "uncoloured text in the pane ($1)"
}

start_editor "$WORK/big.htm"
eventually tag_colour_shown || fail "the page's tags are not coloured"
every_line_coloured start

# The scroll bar's handle, just below its arrow at the top, dragged to the middle of the bar.
read -r x y w h <<<"$(client_geometry "$MAIN")"
bar=$((x + w - 9))
xdotool mousemove "$bar" $((y + 98)) mousedown 1 sleep 0.2 mousemove "$bar" $((y + h / 3)) \
    sleep 0.1 mousemove "$bar" $((y + h / 2)) mouseup 1
every_line_coloured middle

xdotool mousemove "$((x + w / 2))" "$((y + h / 2))" click 1
sleep 0.3
xdotool key ctrl+End
every_line_coloured end
quit_editor
wait_exit
