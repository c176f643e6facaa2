#!/usr/bin/env bash
# Takes the README's pictures of the real program on a virtual X display:
#   docs/window.png      the main window with documents listed and an output folder typed in
#   docs/window-job.png  the same window while a conversion job runs ("正在处理第N个文件")
# The program runs in a private mount namespace whose /home holds only a made-up user "user", so
# the pictures show /home/user/... and no path of this machine. The program folder is mounted
# read-only there, so the exception log goes to the user's data folder as on an installed system.
#
# With --desktop-font POINTS OUT it takes instead a picture of the main window and the add-folder
# dialog under a desktop font of that size (GTK's settings, through Qt's GTK platform theme), to
# check that no caption is cut.
#
# Needs the packages xvfb, x11-apps (xwd), x11-utils (xwininfo), netpbm, xdotool and LibreOffice;
# --desktop-font also qt6-gtk-platformtheme. The namespace needs unprivileged user namespaces
# (on by default in Debian 12).
# Usage: scripts/window-screenshot.sh [--desktop-font POINTS OUT] [program]   (default build/bin/quillet)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
font_points=""
check_out=""
if [ "${1:-}" = --desktop-font ]; then
    font_points="$2"
    check_out="$(realpath -m "$3")"
    shift 3
fi
program="$(realpath "${1:-$here/build/bin/quillet}")"
for tool in xvfb-run xwd xwininfo xwdtopnm pamcut pnmtopng xdotool unshare soffice; do
    command -v "$tool" >/dev/null || {
        echo "missing: $tool (packages xvfb x11-apps x11-utils netpbm xdotool libreoffice-writer)" >&2
        exit 1
    }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"

# Inside the namespace: a home for "user", documents to list, the program folder read-only.
cat >"$work/namespace.sh" <<'NAMESPACE'
#!/usr/bin/env bash
set -euo pipefail
work="$1" program="$2"
mount -t tmpfs tmpfs /home
mkdir -p /home/user/文档 /home/user/图片
bin="$(dirname "$program")"
mount --bind "$bin" "$bin"
mount -o remount,bind,ro "$bin"
export HOME=/home/user
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME XDG_CURRENT_DESKTOP
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# Six documents of three pages each, written by LibreOffice from plain text.
mkdir "$work/text"
for name in 年度报告 会议纪要 产品说明 项目计划 培训手册 季度总结; do
    for line in $(seq 1 150); do echo "${name}：第${line}段。这是示例文档的正文。"; done >"$work/text/$name.txt"
done
soffice -env:UserInstallation="file://$work/lo-profile" --headless --norestore \
    --infilter="Text (encoded):UTF8" --convert-to doc --outdir /home/user/文档 "$work"/text/*.txt >/dev/null 2>&1
if [ -n "${FONT_POINTS:-}" ]; then
    mkdir -p /home/user/.config/gtk-3.0
    printf '[Settings]\ngtk-font-name=Noto Sans CJK SC %s\n' "$FONT_POINTS" >/home/user/.config/gtk-3.0/settings.ini
    export QT_QPA_PLATFORMTHEME=gtk3
fi
xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$work/shoot.sh" "$work" "$program"
NAMESPACE

# On the virtual display: start the program, fill it in as a user would, take the pictures.
cat >"$work/shoot.sh" <<'SHOOT'
#!/usr/bin/env bash
set -u
[ -n "${SCREENSHOT_TRACE:-}" ] && set -x
work="$1" program="$2"
px() { echo $(($1 / 15)); } # twips to pixels at 96 dpi

# "WIDTHxHEIGHT+X+Y" of a window, as xwininfo gives it.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h "+" x "+" y}'
}
# Saves the screen's part under geometry ("WIDTHxHEIGHT+X+Y") as a PNG.
shoot() {
    local w h x y
    read -r w h x y <<<"$(echo "$1" | sed -E 's/^([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+)$/\1 \2 \3 \4/')"
    xwd -silent -root | xwdtopnm 2>/dev/null | pamcut -left "$x" -top "$y" -width "$w" -height "$h" | pnmtopng >"$2"
}
click() { # window, left and top in twips of the window's client area
    xdotool mousemove --window "$1" "$(px "$2")" "$(px "$3")" click 1
}
typed() { xdotool type --delay 40 "$1"; }
keys() { xdotool key --delay 80 "$@"; }
find_window() { # title [seconds]; waits up to 30 s (or the seconds given) for it
    local id
    for _ in $(seq 1 $((${2:-30} * 2))); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.5
    done
    return 1
}
focus() { timeout 10 xdotool windowfocus --sync "$1"; }

"$program" &
pid=$!
main=$(find_window Quillet) || { echo "the window did not appear" >&2; kill "$pid"; exit 1; }
sleep "${SETTLE_SECONDS:-8}" # let the web panel draw its page

# 添加目录: the folder typed in the add-folder dialog, then OK (Tab order: OK, Cancel, suffix, folder).
# A click that comes while the window is still busy starting may be lost: it is repeated.
dialog=""
for _ in 1 2 3; do
    click "$main" $((60 + 60 + 457)) $((60 + 1320 + 187))
    dialog=$(find_window "选择目录：" 10) && break
done
[ -n "$dialog" ] || { echo "no add-folder dialog" >&2; kill "$pid"; exit 1; }
focus "$dialog"
keys Tab Tab Tab
typed "/home/user/文档"
if [ -n "${FONT_POINTS:-}" ]; then
    sleep 1
    main_at=$(geometry "$main") dialog_at=$(geometry "$dialog")
    shoot "$main_at" "$work/out/check-main.png"
    shoot "$dialog_at" "$work/out/check-dialog.png"
    keys Escape
    sleep 1
    kill "$pid"
    wait "$pid" 2>/dev/null
    exit 0
fi
keys Tab Tab Tab Return
sleep 1
# The output folder.
click "$main" $((60 + 1860 + 2000)) $((4800 + 270 + 170))
typed "/home/user/图片"
sleep 1
shoot "$(geometry "$main")" "$work/out/window.png"

# 批量文档转图片, pictured once the first document's pages are written.
click "$main" $((60 + 840 + 967)) $((7860 + 200 + 187))
for _ in $(seq 1 240); do
    compgen -G "/home/user/图片/*.emf" >/dev/null && break
    sleep 0.25
done
shoot "$(geometry "$main")" "$work/out/window-job.png"

# The job ends with its notice (a second window titled Quillet); OK it, then end the program.
for _ in $(seq 1 240); do
    [ "$(xdotool search --onlyvisible --name '^Quillet$' 2>/dev/null | wc -l)" -ge 2 ] && break
    sleep 0.5
done
focus "$(xdotool search --onlyvisible --name '^Quillet$' | grep -v "^$main\$" | head -n1)"
keys Return
sleep 1
kill "$pid"
wait "$pid" 2>/dev/null
ls /home/user/图片 >"$work/out/pictures.txt"
exit 0
SHOOT
chmod +x "$work/namespace.sh" "$work/shoot.sh"

FONT_POINTS="$font_points" unshare --user --map-root-user --mount "$work/namespace.sh" "$work" "$program"
if [ -n "$font_points" ]; then
    for part in main dialog; do
        [ -s "$work/out/check-$part.png" ] || { echo "no picture taken" >&2; exit 1; }
    done
    mkdir -p "$(dirname "$check_out")"
    cp "$work/out/check-main.png" "${check_out%.png}-main.png"
    cp "$work/out/check-dialog.png" "$check_out"
    echo "wrote $check_out and ${check_out%.png}-main.png"
    exit 0
fi
for picture in window window-job; do
    [ -s "$work/out/$picture.png" ] || { echo "no picture $picture.png taken" >&2; exit 1; }
done
echo "pictures written by the job: $(wc -l <"$work/out/pictures.txt")"
mkdir -p "$here/docs"
cp "$work/out/window.png" "$work/out/window-job.png" "$here/docs/"
echo "wrote docs/window.png and docs/window-job.png"
