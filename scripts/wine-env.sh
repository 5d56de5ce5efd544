# Sourced by the scripts that run Windows programs: Wine under a Japanese locale (so that its
# ANSI code page is 932), in a prefix of the project's own, quiet. ZEPHLORA_WINE_LOCALE names
# another locale for a run (en_US.UTF-8: code page 1252, as on most Windows systems).
export LANG=${ZEPHLORA_WINE_LOCALE:-ja_JP.UTF-8}
export LC_ALL=$LANG
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
export WINEPREFIX=${ZEPHLORA_WINEPREFIX:-${HOME:-/root}/.cache/zephlora/wineprefix}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
