# Shared settings of the Wine scripts (sourced).
export WINEPREFIX="${KV_WINEPREFIX:-$HOME/.keyvane-wine}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
