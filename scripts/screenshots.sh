#!/usr/bin/env bash
# Makes the README's screenshots on an X server of its own: Calc shows the oscillator example,
# Marlowin runs beside it, and the script drives both with keys and the mouse as a user does
# (cells selected in Calc, S for sliders, W for watches, a drag of a slider, digits to pick
# sliders, G to scan, F for the flat map).
#   scripts/screenshots.sh [:<display>]   (:99 by default; the display must be free)
# Writes docs/screenshots/*.png. Needs a build (scripts/run.sh or scripts/test.sh makes one).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${MARLOWIN_BUILD_DIR:-$root/build}"
display="${1:-:99}"
out="$root/docs/screenshots"
program="$build/marlowin"
[ -x "$program" ] || { echo "screenshots.sh: build $program first" >&2; exit 2; }
for tool in xdotool:xdotool import:imagemagick xdpyinfo:x11-utils; do
    command -v "${tool%%:*}" >/dev/null ||
        { echo "screenshots.sh: needs ${tool%%:*}: apt-get install ${tool#*:}" >&2; exit 2; }
done
# Marlowin finds Calc on its pipe; an office of the user's listening there would be the one
# shown, with the user's workbooks.
if grep -q " /tmp/OSL_PIPE_$(id -u)_marlowin\$" /proc/net/unix; then
    echo "screenshots.sh: an office listens on Marlowin's pipe already; close it first" >&2
    exit 2
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

export DISPLAY="$display"
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox &
pids+=($!)

# A throwaway office profile that skips the first-start tips, and a copy of the workbook, so
# neither the user's profile nor the example gets touched.
mkdir -p "$work/profile/user"
cat >"$work/profile/user/registrymodifications.xcu" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>7.4</value></prop></item>
</oor:items>
EOF
cp "$root/examples/oscillator.fods" "$work/oscillator.fods"
(umask 077 && exec soffice --calc --norestore --nologo "-env:UserInstallation=file://$work/profile" \
    "--accept=pipe,name=marlowin;urp;" "$work/oscillator.fods") &
pids+=($!)

# The program runs from a folder of its own, where it keeps its settings: the terms of use
# count as accepted there, and the user's settings stay as they are.
mkdir "$work/bin"
cp "$program" "$work/bin/marlowin"
printf '[General]\nTermsOfUseApproved=true\n' >"$work/bin/settings.cfg"

window() { # window <title part>: the first window whose title holds it, waited for
    for _ in $(seq 600); do
        if id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$id" ]; then
            echo "$id"
            return
        fi
        sleep 0.1
    done
    echo "screenshots.sh: no window \"$1\"" >&2
    return 1
}
calc=$(window "oscillator.fods - LibreOffice Calc")
sleep 2

"$work/bin/marlowin" &
pids+=($!)
window "^Marlowin Pro$" >/dev/null
sleep 3

# Selects a block of one column in Calc, from row <first> to row <last> of column B.
select_rows() {
    xdotool windowactivate --sync "$calc"
    xdotool key --delay 60 ctrl+Home Right
    for _ in $(seq 2 "$1"); do xdotool key Down; done
    for _ in $(seq "$1" $(($2 - 1))); do xdotool key shift+Down; done
    sleep 0.5
}
# The program makes its windows anew when it keeps them on top of Calc, so the window is
# looked up each time.
marlowin_keys() {
    xdotool windowactivate --sync "$(window "^Marlowin Pro$")"
    sleep 0.3
    xdotool key --delay 300 "$@"
}
# Drags the first slider's handle (at its middle position) up, down and back, as a user's hand
# does; every watch draws the values it passed through.
drag_first_slider() {
    local id x y
    id=$(window "^Marlowin Pro$")
    eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^[XY]=')"
    x=$((X + 45))
    y=$((Y + 252))
    xdotool mousemove "$x" "$y" mousedown 1
    for dy in $(seq 0 -3 -60) $(seq -60 3 60) $(seq 60 -3 0); do
        xdotool mousemove "$x" $((y + dy))
        sleep 0.03
    done
    xdotool mouseup 1
}
# import reads the screen as it is shown. xwd -root does not: it paints black every window of the
# program that lies wholly inside another of its windows (the slider settings over the main
# window), since it reads the windows that share the program's own colormap one by one.
shot() {
    sleep "$2"
    mkdir -p "$out"
    import -window root "$out/$1.png"
    echo "screenshots.sh: $out/$1.png"
}

select_rows 3 5   # time, damping, frequency
marlowin_keys s
select_rows 7 10  # displacement, envelope, velocity, energy
marlowin_keys w
drag_first_slider
shot main-window 2

marlowin_keys 1 g # the time alone: curves
shot curve-scan 8

marlowin_keys 3 g # time and frequency: surfaces
shot surface 12
marlowin_keys f
shot colour-map 2
