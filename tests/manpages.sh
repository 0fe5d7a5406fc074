#!/usr/bin/env bash
# Keeps each manual page in step with its program: every option that --help
# prints is described in the page, and every option the page describes is
# one that --help prints.
#
#   tests/manpages.sh SOURCE-FOLDER TVC TVC-UPDATE TVC-WATCH TVC-SIM
set -euo pipefail
source_dir=$1
shift
status=0

# The option names of a --help text, one a line: "  -v, --version  ..." and
# "  --port <NAME>  ..." give -v, --version and --port.
help_options() {
    sed -n '/^Options:/,/^[^ ]/{s/^  \(-[^ ].*\)/\1/p}' | sed 's/  .*//; s/ <[^>]*>//g' | tr ',' '\n' |
        sed 's/^ *//; s/ *$//' | grep '^-' | LC_ALL=C sort -u
}

# The option names the page describes: the words that start with a dash on
# the line after each .TP (the tag of an option's paragraph).
page_options() {
    sed 's/\\-/-/g' "$1" | sed -n '/^\.TP$/{n;p}' | tr ' "' '\n\n' | grep -x -- '-[-a-zA-Z0-9]*' | LC_ALL=C sort -u
}

for program in "$@"; do
    name=$(basename "$program")
    page=$source_dir/resources/man/$name.1
    text=$(sed 's/\\-/-/g' "$page")
    help=$(QT_QPA_PLATFORM=offscreen "$program" --help | help_options)
    [ -n "$help" ] || { echo "$name: no options in --help"; status=1; continue; }
    for option in $help; do
        if ! grep -qE -- "(^|[^-a-z])$option([^-a-z]|$)" <<<"$text"; then
            echo "$name: the manual page does not describe $option"
            status=1
        fi
    done
    for option in $(page_options "$page"); do
        if ! grep -qx -- "$option" <<<"$help"; then
            echo "$name: the manual page describes $option, which --help does not list"
            status=1
        fi
    done
done
exit $status
