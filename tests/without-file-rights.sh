#!/bin/sh
# Runs a test program as a user whom the permissions of files bind. Root may
# open any file: where this runs as root (as CI does), it runs the program
# without the two capabilities that give root that power, CAP_DAC_OVERRIDE and
# CAP_DAC_READ_SEARCH, taken out of the bounding set so that neither the
# program nor what it starts can have them. Where they cannot be dropped (no
# setpriv, or no right to change the bounding set) the program runs as it is
# and skips what needs a file it may not open.
#
#   tests/without-file-rights.sh PROGRAM [ARGUMENTS...]
drop=-dac_override,-dac_read_search
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null 2>&1 && setpriv --bounding-set="$drop" -- true 2>/dev/null; then
    exec setpriv --bounding-set="$drop" -- "$@"
fi
exec "$@"
