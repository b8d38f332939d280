#!/usr/bin/env bash
# Regenerates the program's three wave sounds with sox (Debian package "sox"). Optional: the generated
# files are kept in the repository and the build only copies them; run this after changing a sound.
#
#   notify.wav  due-reminder chime: two bell tones, high then low, about 0.6 s
#   delete.wav  deletion: a short falling sweep with a breath of noise, 0.25 s
#   over.wav    main toolbar click: a soft tick, 0.08 s
#
# All are 16-bit PCM, 22050 Hz, mono, so that each stays well under 40 KB. -R (repeatable mode) fixes the
# random seed of noise and dither, so that a run without changes gives the same files.
set -euo pipefail

cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"
command -v sox >/dev/null 2>&1 || {
    echo "make-sounds.sh: sox is not installed (apt-get install sox)" >&2
    exit 1
}

FORMAT=(-r 22050 -c 1 -b 16 -e signed-integer)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A bell-like note: fundamental plus a quieter octave, sharp attack, long fade.
bell() { # output frequency length
    local octave fade
    octave=$(awk -v f="$2" 'BEGIN { print f * 2 }')
    fade=$(awk -v l="$3" 'BEGIN { print l - 0.01 }')
    sox -R -n "${FORMAT[@]}" "$work/f.wav" synth "$3" sine "$2" fade q 0.004 "$3" "$fade"
    sox -R -n "${FORMAT[@]}" "$work/o.wav" synth "$3" sine "$octave" fade q 0.002 "$3" "$fade"
    sox -R -m -v 0.8 "$work/f.wav" -v 0.25 "$work/o.wav" "$1"
}

# notify: E6 then C6 (a falling major third), the second entering while the first still rings.
bell "$work/high.wav" 1318.5 0.34
bell "$work/low.wav" 1046.5 0.42
sox -R "$work/low.wav" "$work/low-late.wav" pad 0.18
sox -R -m "$work/high.wav" "$work/low-late.wav" "${FORMAT[@]}" notify.wav gain -n -4 trim 0 0.6

# delete: an exponential sweep from 1400 Hz down to 220 Hz over a band of soft noise.
sox -R -n "${FORMAT[@]}" "$work/sweep.wav" synth 0.25 sine 1400:220 fade q 0.004 0.25 0.15
sox -R -n "${FORMAT[@]}" "$work/air.wav" synth 0.25 pinknoise sinc 600-4000 fade h 0.03 0.25 0.2
sox -R -m -v 0.7 "$work/sweep.wav" -v 0.3 "$work/air.wav" "${FORMAT[@]}" delete.wav gain -n -6

# over: a 2 kHz tick on a short low thump, both gone within 80 ms.
sox -R -n "${FORMAT[@]}" "$work/tick.wav" synth 0.08 sine 2000 fade q 0.001 0.08 0.07
sox -R -n "${FORMAT[@]}" "$work/thump.wav" synth 0.08 sine 420 fade q 0.002 0.08 0.06
sox -R -m -v 0.5 "$work/tick.wav" -v 0.5 "$work/thump.wav" "${FORMAT[@]}" over.wav gain -n -12

ls -l notify.wav delete.wav over.wav
