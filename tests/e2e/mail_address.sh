#!/usr/bin/env bash
# The registered mail address goes to MARVOK.INI at once and, after a restart, is the mail link's preset.
. "$(dirname "$0")/lib.sh"

ADDRESS='taro.yamada@example.jp'

start_editor
menu e m
prompt=$(wait_titled 'メールアドレスを入力して下さい')
expect_frame "$prompt" close
type_text "$ADDRESS"
shot address
xdotool key Return
wait_closed "$prompt"
expect_bytes "$WORK/MARVOK.INI" "[MAIL]\r\nADD=$ADDRESS\r\n"
quit_editor
wait_exit

start_editor
caret_to_head_line
menu t y m
prompt=$(wait_titled 'メール送信')
activate "$prompt"
shot preset
# The preset is accepted as it stands.
xdotool key Return
wait_closed "$prompt"
menu f c
choose_file 'HTMLファイル(*.htm)の作成' "$WORK/mail.htm"
expect_bytes "$WORK/mail.htm" \
    "<HTML>\r\n<HEAD>\r\n<A HREF=\"mailto:$ADDRESS\"></A>\r\n</HEAD>\r\n\r\n</HTML>"
expect_bytes "$WORK/MARVOK.INI" "[MAIL]\r\nADD=$ADDRESS\r\n"
echo PASS
