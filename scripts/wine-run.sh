#!/usr/bin/env bash
# Runs one Windows program under Wine (CTest's emulator for the MinGW build's tests).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/wine-env.sh"
exec wine "$@"
