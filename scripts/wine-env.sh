# Sourced by the scripts that run Windows programs: Wine under a Japanese locale (so that its
# ANSI code page is 932), in a prefix of the project's own, quiet.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
export WINEPREFIX=${ZEPHLORA_WINEPREFIX:-${HOME:-/root}/.cache/zephlora/wineprefix}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
