#!/usr/bin/env bash
# Runs the bash completion of tvc-update and tvc-sim as bash does (the words
# of the line in COMP_WORDS, the word under the cursor in COMP_CWORD) and
# checks what it offers: the options --help lists, the serial ports under
# /dev, zip packages, any file for --raw, the values of --unit and --role;
# and tvc-watch's options and ports.
#
#   tests/completion.sh SOURCE-FOLDER TVC-UPDATE TVC-SIM TVC-WATCH
set -euo pipefail
source_dir=$1
tvc_update=$2
tvc_sim=$3
tvc_watch=$4
work=$(mktemp -d)
sim_pid=
trap '[ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
status=0

source "$source_dir/resources/completion/tvc-update"
source "$source_dir/resources/completion/tvc-sim"
source "$source_dir/resources/completion/tvc-watch"

# complete FUNCTION WORD... : what FUNCTION offers for the last WORD, one a
# line, sorted.
complete_words() {
    local function=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    "$function"
    [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}

expect() {
    local what=$1 wanted=$2 got=$3
    if [ "$got" != "$wanted" ]; then
        echo "$what: offered"
        echo "${got:-(nothing)}" | sed 's/^/    /'
        echo "  instead of"
        echo "${wanted:-(nothing)}" | sed 's/^/    /'
        status=1
    fi
}

# Options: exactly the long options that --help lists.
long_options() { "$1" --help | sed -n '/^Options:/,/^[^ ]/p' | grep -o -- '--[a-z][-a-z]*' | LC_ALL=C sort -u; }
expect "tvc-update --" "$(long_options "$tvc_update")" "$(complete_words _tvc_update tvc-update --)"
expect "tvc-sim --" "$(long_options "$tvc_sim")" "$(complete_words _tvc_sim tvc-sim --)"
expect "tvc-watch --" "$(long_options "$tvc_watch")" "$(complete_words _tvc_watch tvc-watch --)"
expect "tvc-watch --interval ''" "" "$(complete_words _tvc_watch tvc-watch --follow --interval '')"
expect "tvc-update --ch" "--check" "$(complete_words _tvc_update tvc-update --port ttyUSB0 --ch)"

# Files: the package is a zip (any case) or a folder on the way to one; --raw
# takes any file, and names with spaces stay whole.
mkdir -p "$work/files/spring pack" "$work/files/old"
touch "$work/files/a.zip" "$work/files/B.ZIP" "$work/files/notes.txt" "$work/files/spring pack/x.zip"
cd "$work/files"
expect "tvc-update PACKAGE" "$(printf '%s\n' B.ZIP a.zip old 'spring pack')" \
    "$(complete_words _tvc_update tvc-update --check '')"
expect "tvc-update sp" "spring pack" "$(complete_words _tvc_update tvc-update sp)"
expect "tvc-update 'spring pack/'" "spring pack/x.zip" "$(complete_words _tvc_update tvc-update 'spring pack/')"
expect "tvc-update --raw n" "notes.txt" "$(complete_words _tvc_update tvc-update --raw n)"
expect "tvc-sim --image-dir ''" "$(printf '%s\n' old 'spring pack')" \
    "$(complete_words _tvc_sim tvc-sim --image-dir '')"
cd - >/dev/null

# Values: the units, the roles, and nothing where a number is wanted.
expect "tvc-update --unit ''" "$(printf '%s\n' dsp wlan)" "$(complete_words _tvc_update tvc-update --unit '')"
expect "tvc-sim --role r" "$(printf '%s\n' repeater rxu-client)" "$(complete_words _tvc_sim tvc-sim --role r)"
expect "tvc-sim --slot ''" "" "$(complete_words _tvc_sim tvc-sim --slot '')"
expect "tvc-update --timeout ''" "" "$(complete_words _tvc_update tvc-update --timeout '')"

# Ports: a pseudo-terminal of the simulator, by path, after --port and after
# --port= (which bash splits into "--port", "=" and the path).
"$tvc_sim" --quiet >"$work/sim.out" 2>/dev/null < <(sleep 120) &
sim_pid=$!
for _ in $(seq 100); do
    [ -s "$work/sim.out" ] && break
    sleep 0.1
done
pty=$(head -1 "$work/sim.out")
[[ $pty == /dev/pts/* ]] || { echo "the simulator printed no terminal: $pty"; exit 1; }
for words in "--port /dev/pts/" "--port = /dev/pts/" "--all --port $pty"; do
    read -ra line <<<"$words"
    got=$(complete_words _tvc_update tvc-update "${line[@]}")
    grep -qx -- "$pty" <<<"$got" || { expect "tvc-update $words" "(a list with $pty)" "$got"; }
    if grep -v '^/dev/\(ttyUSB\|ttyACM\|pts/\|serial/by-id/\)' <<<"$got" | grep -q .; then
        expect "tvc-update $words" "(ports only)" "$got"
    fi
done
got=$(complete_words _tvc_watch tvc-watch --json --port /dev/pts/)
grep -qx -- "$pty" <<<"$got" || expect "tvc-watch --port /dev/pts/" "(a list with $pty)" "$got"
got=$(complete_words _tvc_update tvc-update --port '=')
grep -qx -- "$pty" <<<"$got" || expect "tvc-update --port=" "(a list with $pty)" "$got"
# A name without /dev/ is the rest of the path, which --port reads as the same
# port; the last part alone (3 of /dev/pts/3) would name another file.
name=${pty#/dev/}
got=$(complete_words _tvc_update tvc-update --port pts/)
grep -qx -- "$name" <<<"$got" || expect "tvc-update --port pts/" "(a list with $name)" "$got"
expect "tvc-update --port ${name#pts/}" "" "$(complete_words _tvc_update tvc-update --port "${name#pts/}")"
exit $status
