#!/usr/bin/env bash
# Takes a picture of the main window as it starts, on a virtual X display, into docs/window.png.
# Needs the packages xvfb, x11-apps (xwd), x11-utils (xwininfo) and netpbm.
# Usage: scripts/window-screenshot.sh [program]   (default build/bin/quillet)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
program="$(realpath "${1:-$here/build/bin/quillet}")"
out="$here/docs/window.png"
for tool in xvfb-run xwd xwininfo xwdtopnm pamcut pnmtopng; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (packages xvfb x11-apps x11-utils netpbm)" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"

cat >"$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -u
work="$1"
# A private runtime folder, so that a Quillet the user already runs does not stop this one.
XDG_RUNTIME_DIR="$work" "$2" &
pid=$!
geometry=""
for _ in $(seq 1 60); do
    sleep 0.5
    # The mapped top-level window titled Quillet: "abs-x abs-y width height".
    geometry=$(xwininfo -root -tree | awk '/"Quillet"/ && $NF ~ /^\+/ {split($(NF-1), s, "x"); if (s[1] > 100) print $(NF-1)}' | head -n1)
    [ -n "$geometry" ] && break
done
sleep "${SETTLE_SECONDS:-8}"   # let the web panel draw its page
xwd -silent -root >"$work/screen.xwd"
echo "$geometry" >"$work/geometry"
kill "$pid"
wait "$pid" 2>/dev/null || true
INNER
chmod +x "$work/shoot.sh"

xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$work/shoot.sh" "$work" "$program"
geometry="$(cat "$work/geometry")"   # WIDTHxHEIGHT+X+Y
[ -n "$geometry" ] || { echo "the window did not appear" >&2; exit 1; }
read -r width height x y <<<"$(echo "$geometry" | sed -E 's/^([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+)$/\1 \2 \3 \4/')"
mkdir -p "$(dirname "$out")"
xwdtopnm "$work/screen.xwd" 2>/dev/null | pamcut -left "$x" -top "$y" -width "$width" -height "$height" | pnmtopng >"$out"
echo "wrote $out (${width}x${height})"
