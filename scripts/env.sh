# Shared settings of the Wine scripts (sourced).
#
# KV_WINE_BITS picks the Wine that runs our programs: 32 (the default) runs the
# i686 build in a 32-bit prefix; 64 runs the x86_64 build with the 64-bit Wine
# loader and server in a prefix of its own, for machines whose kernel refuses
# 32-bit code. Scripts call "$KV_WINE" and "$KV_WINESERVER", never bare
# wine/wineserver, so that the two never mix.
export KV_WINE_BITS="${KV_WINE_BITS:-32}"
if [ "$KV_WINE_BITS" = 64 ]; then
    export WINEPREFIX="${KV_WINEPREFIX64:-$HOME/.keyvane-wine64}"
    export WINEARCH=win64
    export KV_WINE=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver64
    export WINELOADER=/usr/lib/wine/wine64
    export KV_WINESERVER="$WINESERVER"
    export KV_PRESET=windows64
else
    export WINEPREFIX="${KV_WINEPREFIX:-$HOME/.keyvane-wine}"
    export WINEARCH=win32
    export KV_WINE=wine
    export KV_WINESERVER=wineserver
    export KV_PRESET=windows
fi
export WINEDEBUG="${WINEDEBUG:--all}"
# Wine takes its code page from the locale: ja_JP.UTF-8 gives code page 932.
# It is set only once it exists (scripts/setup.sh generates it). A shell that
# started before that can't switch to it itself (the C library looks for the
# locales once per process) and would warn; only the programs it starts use
# the locale, and they find it, so that warning is not shown.
if locale -a 2>/dev/null | grep -ix 'ja_JP\.utf-\?8' >/dev/null; then
    { export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null
fi
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
