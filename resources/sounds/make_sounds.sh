#!/usr/bin/env bash
# Makes the game's 33 sounds in this folder: speech from espeak-ng, everything else synthesised
# with sox, the five MPEG Layer-3 chatter sounds encoded with lame and wrapped in RIFF WAVE by
# wrap_mp3.py. The WAV files are committed, so building the game needs none of these tools;
# run this only to make the sounds anew:
#   apt-get install espeak-ng sox lame python3 && resources/sounds/make_sounds.sh
#
# Every sound is trimmed, faded in and out (no click at either end) and brought to one loudness:
# its RMS level is raised or lowered to TARGET_RMS unless that would push its peak above PEAK_MAX.
# The formats are mixed on purpose (8 and 16 bits, mono and stereo, 8000 to 44100 samples per
# second, and MPEG Layer-3), so that the player meets every kind of file it has to handle.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C
export SOX_OPTS=-R # the same noise on every run, so the same files

TARGET_RMS=-17 # dBFS
PEAK_MAX=-1    # dBFS
LIMIT_MAX=8    # dB

# say FILE VOICE SPEED PITCH TEXT: espeak-ng speaks TEXT into FILE.
say() { espeak-ng -v "$2" -s "$3" -p "$4" -w "$1" "$5"; }

# spoken NAME RATE BITS CHANNELS VOICE SPEED PITCH TEXT: a chatter sound that is a phrase spoken.
spoken() {
    say "$work/$1.spoken.wav" "$5" "$6" "$7" "$8"
    finish "$1" "$2" "$3" "$4" "$work/$1.spoken.wav"
}

# stat FILE WORD: one figure of sox's stats for FILE ("RMS lev dB", "Pk lev dB").
stat() { sox "$1" -n stats 2>&1 | awk -v key="$2" 'index($0, key) == 1 { print $(NF) }'; }

# level IN OUT: IN at the common loudness, as 32-bit float so nothing clips on the way. Where
# the gain would push the peaks too high, up to LIMIT_MAX dB of it goes through sox's limiter.
level() {
    local rms peak gain
    rms=$(stat "$1" "RMS lev dB")
    peak=$(stat "$1" "Pk lev dB")
    gain=$(awk -v r="$rms" -v p="$peak" -v t="$TARGET_RMS" -v m="$PEAK_MAX" -v l="$LIMIT_MAX" \
        'BEGIN { g = t - r; if (p + g > m + l) g = m + l - p; printf "%.2f", g }')
    local limit=""
    awk -v p="$peak" -v g="$gain" -v m="$PEAK_MAX" 'BEGIN { exit !(p + g > m) }' && limit=-l
    sox "$1" -e floating-point -b 32 "$2.limited.wav" gain $limit "$gain"
    if awk -v p="$(stat "$2.limited.wav" "Pk lev dB")" -v m="$PEAK_MAX" 'BEGIN { exit !(p > m) }'; then
        sox "$2.limited.wav" "$2" gain -n "$PEAK_MAX"
    else
        mv "$2.limited.wav" "$2"
    fi
}

# finish NAME RATE BITS CHANNELS IN [FADE_IN FADE_OUT]: trims the silence around IN, fades its
# ends, levels it and writes NAME.wav as PCM in the given format.
finish() {
    local name=$1 rate=$2 bits=$3 channels=$4 in=$5 fin=${6:-0.005} fout=${7:-0.03}
    local encoding=signed-integer
    [ "$bits" = 8 ] && encoding=unsigned-integer
    sox "$in" -e floating-point -b 32 "$work/$name.trim.wav" \
        silence 1 0.002 -55d reverse silence 1 0.002 -55d reverse \
        fade q "$fin" reverse fade q "$fout" reverse channels "$channels" rate -v "$rate"
    level "$work/$name.trim.wav" "$work/$name.level.wav"
    sox "$work/$name.level.wav" -e "$encoding" -b "$bits" "$here/$name.wav" dither -s
}

# finish_mp3 NAME RATE CHANNELS KBPS IN: as finish, but MPEG Layer-3 inside RIFF WAVE.
finish_mp3() {
    local name=$1 rate=$2 channels=$3 kbps=$4 in=$5
    finish "$name.pcm" "$rate" 16 "$channels" "$in" 0.01 0.08
    mv "$here/$name.pcm.wav" "$work/$name.pcm.wav"
    local mode=m
    [ "$channels" = 2 ] && mode=j
    lame --silent --noreplaygain -m "$mode" --cbr -b "$kbps" \
        --resample "$(awk -v r="$rate" 'BEGIN { print r / 1000 }')" "$work/$name.pcm.wav" "$work/$name.mp3"
    python3 "$here/wrap_mp3.py" "$work/$name.mp3" "$here/$name.wav" "$rate" "$channels" "$kbps" \
        "$(soxi -s "$work/$name.pcm.wav")"
}

# tone FILE SECONDS SYNTH...: sox synth into FILE at 44100 mono float.
tone() { local f=$1 d=$2; shift 2; sox -n -r 44100 -c 1 -e floating-point -b 32 "$f" synth "$d" "$@"; }

# bell FILE SECONDS FREQ: a struck bell: the note, its inharmonic partials, a fast decay.
bell() {
    local f=$1 d=$2 hz=$3
    sox -n -r 44100 -e floating-point -b 32 "$f" synth "$d" sine "$hz" sine "$(awk -v h="$hz" 'BEGIN{print h*2.76}')" \
        sine "$(awk -v h="$hz" 'BEGIN{print h*5.4}')" remix 1v0.7,2v0.2,3v0.1 fade t 0.002 "$d" "$(awk -v d="$d" 'BEGIN{print d-0.004}')"
}

# brass FILE SECONDS FREQ: a bright horn note with a little vibrato.
brass() {
    sox -n -r 44100 -e floating-point -b 32 "$1" synth "$2" sawtooth "$3" synth sine fmod 5.5 0 0 0.3 \
        lowpass 2500 fade q 0.02 "$2" 0.05 gain -6
}

# soft FILE SECONDS FREQ: a soft triangle note.
soft() { tone "$1" "$2" triangle "$3" fade q 0.005 "$2" "$(awk -v d="$2" 'BEGIN{print d*0.7}')"; }

# buzz FILE SECONDS FREQ: a low buzzer, two square waves beating.
buzz() {
    tone "$1" "$2" square "$3" square "$(awk -v h="$3" 'BEGIN{print h*1.05}')" remix - gain -8 lowpass 1800 \
        fade q 0.005 "$2" 0.03
}

# horn FILE SECONDS FREQ: a car horn's two tones, a major third apart.
horn() {
    tone "$1" "$2" sawtooth "$3" sawtooth "$(awk -v h="$3" 'BEGIN{print h*1.26}')" remix - lowpass 2200 \
        fade q 0.01 "$2" 0.04
}

# cough FILE SECONDS: one dry cough, a noisy burst with a throaty body.
cough() {
    tone "$1.air.wav" "$2" pinknoise bandpass 900 1200 fade l 0.004 "$2" "$2"
    tone "$1.body.wav" "$2" brownnoise lowpass 400 fade l 0.004 "$2" "$2"
    mix "$1" "$1.air.wav" "$1.body.wav"
}

# notes OUT VOICE SECONDS:FREQ:START...: notes of one voice laid out in time and mixed into OUT.
notes() {
    local out=$1 voice=$2 parts=() i=0 len hz start
    shift 2
    for note in "$@"; do
        i=$((i + 1))
        IFS=: read -r len hz start <<<"$note"
        $voice "$out.$i.wav" "$len" "$hz"
        at "$out.$i.wav" "$start"
        parts+=("$out.$i.wav")
    done
    mix "$out" "${parts[@]}"
}

# crowd OUT SPEED VOICE:PITCH:START:WORDS...: voices speaking together, each from its start,
# taking turns between the left and the right channel.
crowd() {
    local out=$1 speed=$2 left=() right=() i=0 voice pitch start words
    shift 2
    for v in "$@"; do
        i=$((i + 1))
        IFS=: read -r voice pitch start words <<<"$v"
        say "$out.$i.wav" "$voice" "$speed" "$pitch" "$words"
        sox "$out.$i.wav" -r 44100 "$out.$i.44.wav" pad "$start"
        if ((i % 2)); then left+=("$out.$i.44.wav"); else right+=("$out.$i.44.wav"); fi
    done
    mix "$out.left.wav" "${left[@]}"
    mix "$out.right.wav" "${right[@]}"
    sox -M "$out.left.wav" "$out.right.wav" "$out"
}

# at FILE SECONDS: FILE delayed by SECONDS (for laying notes one after another in a mix).
at() { [ "$2" = 0 ] || { sox "$1" "$1.at.wav" pad "$2" && mv "$1.at.wav" "$1"; }; }

# mix OUT IN...: the INs played together.
mix() { local out=$1; shift; if [ $# -eq 1 ]; then cp "$1" "$out"; else sox -m "$@" "$out"; fi; }

w=$work

# ---------------------------------------------------------------- game sounds (well under a second)

# clickletter: the crisp click of a tile placed.
tone $w/c1.wav 0.04 whitenoise gain -6 highpass 2500 fade l 0.0005 0.04 0.038
tone $w/c2.wav 0.04 sine 3300 fade l 0.0005 0.04 0.038
mix $w/clickletter.wav $w/c1.wav $w/c2.wav
finish CLICKLETTER 22050 16 1 $w/clickletter.wav 0.0015 0.01

# backspace: a lower tock that falls in pitch.
tone $w/b1.wav 0.08 sine 950-520 fade l 0.001 0.08 0.075
tone $w/b2.wav 0.015 whitenoise lowpass 3000 fade l 0.0005 0.015 0.014
mix $w/backspace.wav $w/b1.wav $w/b2.wav
finish BACKSPACE 11025 8 1 $w/backspace.wav 0.0015 0.01

# clear: a short swish with a falling whistle.
tone $w/s1.wav 0.28 pinknoise gain -6 sinc 1200-6000 fade h 0.1 0.28 0.17
tone $w/s2.wav 0.28 sine 1800-500 fade h 0.1 0.28 0.17 gain -14
mix $w/clear.wav $w/s1.wav $w/s2.wav
finish CLEAR 22050 16 1 $w/clear.wav 0.01 0.05

# pass: two soft notes stepping down.
notes $w/pass.wav soft 0.15:784:0 0.2:523:0.13
finish PASS 44100 16 2 $w/pass.wav 0.003 0.05

# goodword: a bright two-note chime, C6 then G6.
notes $w/goodword.wav bell 0.45:1046.5:0 0.5:1568:0.09
finish GOODWORD 44100 16 2 $w/goodword.wav 0.002 0.08

# invalid: a low "uh-uh" buzzer.
notes $w/invalid.wav buzz 0.13:140:0 0.17:140:0.18
finish INVALID 8000 8 1 $w/invalid.wav 0.003 0.04

# allfilled: a rising arpeggio, C5 E5 G5 C6, the last ringing on.
notes $w/allfilled.wav bell 0.35:523.25:0 0.35:659.25:0.1 0.35:783.99:0.2 0.5:1046.5:0.3
finish ALLFILLED 44100 16 2 $w/allfilled.wav 0.002 0.1

# tick: a woodblock tick.
tone $w/t1.wav 0.04 sine 1900 sine 2750 remix - fade l 0.0005 0.04 0.038
tone $w/t2.wav 0.006 whitenoise bandpass 2500 1000 fade l 0.0003 0.006 0.005
mix $w/tick.wav $w/t1.wav $w/t2.wav
finish TICK 22050 8 1 $w/tick.wav 0.0015 0.01

# turn ("Classic"): a ding-dong, E5 then C5.
notes $w/turn.wav bell 0.4:659.25:0 0.5:523.25:0.22
finish TURN 22050 16 1 $w/turn.wav 0.002 0.1

# turnnew ("New"): a quick rising sweep that lands on a bell.
tone $w/n1.wav 0.22 sine 300-1300 fade q 0.02 0.22 0.06 gain -4
bell $w/n2.wav 0.38 1318.5
at $w/n2.wav 0.18
mix $w/turnnew.wav $w/n1.wav $w/n2.wav
finish TURNNEW 32000 16 2 $w/turnnew.wav 0.01 0.08

# timeup: three falling horn notes, the last one long.
notes $w/timeup.wav brass 0.2:392:0 0.2:370:0.2 0.42:349.2:0.4
finish TIMEUP 16000 16 1 $w/timeup.wav 0.01 0.12

# postscores: a short drum roll that ends on a bright chord.
tone $w/r1.wav 0.5 whitenoise synth exp amod 24 0 0 5 bandpass 1800 1500 fade t 0.4 0.5 0.01
notes $w/chord.wav bell 0.4:783.99:0.48 0.4:1046.5:0.48 0.4:1318.5:0.48
mix $w/postscores.wav $w/r1.wav $w/chord.wav
finish POSTSCORES 44100 16 2 $w/postscores.wav 0.05 0.1

# winner: a fanfare, G4 C5 E5 and a held G5 over a C major chord.
notes $w/winner.wav brass 0.12:392:0 0.12:523.25:0.13 0.12:659.25:0.26 0.5:783.99:0.39 0.5:523.25:0.39 \
    0.5:659.25:0.39
finish WINNER 44100 16 2 $w/winner.wav 0.01 0.15

# entered: a friendly door chime, G5 over C5.
notes $w/entered.wav bell 0.45:783.99:0.05 0.45:523.25:0
finish ENTERED 11025 8 2 $w/entered.wav 0.002 0.1

# ---------------------------------------------------------------- chatter sounds (under three seconds)

spoken WAVE1 22050 16 1 en-us+m3 140 35 "D'oh!"

# cough: two dry coughs.
notes $w/cough.wav cough 0.22::0 0.22::0.32
finish WAVE2 11025 8 1 $w/cough.wav 0.002 0.05

spoken WAVE3 16000 16 1 en-us+f3 150 60 "Hello!"

spoken WAVE4 22050 16 1 en-us+m1 150 50 "Thank you!"

spoken WAVE5 22050 8 1 en-us+f2 160 55 "Where have you been?"

# snoring: a rumbling breath in, a soft whistling breath out.
tone $w/z1.wav 1.2 brownnoise synth exp amod 32 0 0 20 lowpass 700 fade h 0.5 1.2 0.3
tone $w/z2.wav 0.9 pinknoise bandpass 1500 900 fade h 0.3 0.9 0.5 gain -8
at $w/z2.wav 1.3
mix $w/snore.wav $w/z1.wav $w/z2.wav
sox $w/snore.wav $w/snore2.wav repeat 1 trim 0 2.4
finish_mp3 WAVE6 22050 1 48 $w/snore2.wav

# sneezing: "ah... ah... choo!" with a burst of air on the last.
say $w/sneeze_v.wav en-us+f2 130 80 "ah. ahh. CHOO!"
tone $w/sneeze_n.wav 0.25 whitenoise gain -6 highpass 1500 fade l 0.005 0.25 0.23 gain -6
at $w/sneeze_n.wav "$(awk -v l="$(soxi -D $w/sneeze_v.wav)" 'BEGIN{print l-0.55}')"
sox $w/sneeze_v.wav -r 44100 $w/sneeze_v44.wav
mix $w/sneeze.wav $w/sneeze_v44.wav $w/sneeze_n.wav
finish WAVE7 22050 16 1 $w/sneeze.wav

spoken WAVE8 8000 16 1 en-us+m3 140 40 "Sorry."

spoken WAVE9 22050 16 2 en-us+f3 150 55 "Welcome!"

spoken WAVE10 22050 16 1 en-us+m2 170 70 "Yee haw!"

spoken WAVE11 44100 16 1 en-us+f4 170 90 "Yippee!"

spoken WAVE12 11025 16 1 en-us+m1 120 45 "Oh no!"

# applause: claps at many rates and pitches, spread across two channels.
claps=()
i=0
for rate in 7.3 8.9 10.7 11.9 13.1 9.7; do
    i=$((i + 1))
    sox -n -r 44100 -e floating-point -b 32 $w/clap$i.wav synth 2.2 whitenoise synth exp amod $rate 0 $((i * 13)) 6 \
        bandpass $((900 + i * 250)) 1400 fade h 0.15 2.2 0.8
    claps+=($w/clap$i.wav)
done
sox -M ${claps[0]} ${claps[1]} $w/clapL.wav remix -
sox -m ${claps[2]} ${claps[3]} $w/clapR.wav
sox -m ${claps[4]} ${claps[5]} $w/clapC.wav
sox -M $w/clapL.wav $w/clapR.wav $w/clapLR.wav
sox -M $w/clapC.wav $w/clapC.wav $w/clapCC.wav
sox -m $w/clapLR.wav $w/clapCC.wav $w/applause.wav
finish WAVE13 44100 16 2 $w/applause.wav 0.1 0.4

# honk: a two-tone horn, twice.
notes $w/honk.wav horn 0.22:370:0 0.22:370:0.3
finish WAVE14 11025 8 1 $w/honk.wav 0.005 0.04

# oooh: a small crowd sighing "oooh", each voice a little apart.
crowd $w/oooh_v.wav 80 en-us+m1:35:0.03:Ooooooh en-us+f2:60:0.06:Ooooooh en-us+m3:45:0.09:Ooooooh \
    en-us+f4:75:0.12:Ooooooh
sox $w/oooh_v.wav $w/oooh.wav reverb 30
finish_mp3 WAVE15 44100 2 96 $w/oooh.wav

# razzberry: a loose, buzzing blow of the lips.
tone $w/rz1.wav 0.9 sawtooth 85 synth sine fmod 7 0 0 0.3 lowpass 1500 fade q 0.03 0.9 0.25
tone $w/rz2.wav 0.9 pinknoise synth exp amod 85 0 0 30 bandpass 1100 800 fade q 0.03 0.9 0.25 gain -6
mix $w/razz.wav $w/rz1.wav $w/rz2.wav
finish_mp3 WAVE16 22050 1 40 $w/razz.wav

# cheer: a crowd shouting over its own noise.
crowd $w/cheer_v.wav 170 en-us+m1:40:0.07:Hooray! en-us+f2:70:0.14:Yay! en-us+m3:55:0.21:Woohoo! \
    en-us+f4:85:0.28:Yay! en-us+m2:30:0.35:Hooray!
sox $w/cheer_v.wav $w/cheerV.wav reverb 40
sox -n -r 44100 -c 2 -e floating-point -b 32 $w/crowd.wav synth 1.8 pinknoise bandpass 1200 1500 fade h 0.2 1.8 0.7 gain -20
sox -m $w/cheerV.wav $w/crowd.wav $w/cheer.wav
finish_mp3 WAVE17 32000 2 96 $w/cheer.wav

spoken WAVE18 22050 16 1 en-us+f3 230 90 "ha ha ha ha haa"

spoken WAVE19 16000 8 1 en-us+m1 190 25 "ho ho ho ha ha haa"

# crying: wailing sobs whose pitch wobbles.
say $w/cry_v.wav en-us+f2 90 75 "waaah haa haa waaaah"
sox $w/cry_v.wav $w/crying.wav gain -6 tremolo 6 40
finish_mp3 WAVE20 16000 1 32 $w/crying.wav
