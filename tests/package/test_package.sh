#!/usr/bin/env bash
# Installs the built tree into a scratch folder and checks what a user's system would get: the
# exact file list, the icons, the desktop entry and the AppStream metadata (with the validators
# the distributions use), then makes the Debian package, checks its fields and contents, and has
# lintian check it (manual pages and changelog included).
#
# usage: test_package.sh BUILD_DIR VERSION APP_ID PROGRAM...
# The environment variables CMAKE and CPACK name the tools of the build (default: from PATH).
set -uo pipefail
cmake=${CMAKE:-cmake}
cpack=${CPACK:-cpack}

if [ $# -lt 4 ]; then
    echo "usage: $0 BUILD_DIR VERSION APP_ID PROGRAM..." >&2
    exit 2
fi
build=$1 version=$2 app_id=$3
shift 3
programs=("$@")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
prefix=/usr
usr=$root$prefix

failures=()
pass() { echo "PASS  $1"; }
fail() {
    echo "FAIL  $1"
    failures+=("$1")
}
# check NAME COMMAND...: runs the command, its output shown only when it fails.
check() {
    local name=$1 output
    shift
    if output=$("$@" 2>&1); then
        pass "$name"
    else
        fail "$name"
        [ -n "$output" ] && sed 's/^/      /' <<<"$output"
    fi
}
finish() {
    echo
    if [ ${#failures[@]} -eq 0 ]; then
        echo "package test: all checks passed"
        exit 0
    fi
    echo "package test: ${#failures[@]} check(s) FAILED:"
    printf '  - %s\n' "${failures[@]}"
    exit 1
}

for tool in "$cmake" "$cpack" desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null ||
        fail "tool $tool is installed (scripts/install-deps installs it)"
done
[ ${#failures[@]} -eq 0 ] || finish

# --- cmake --install -------------------------------------------------------------------------
if ! install_log=$(DESTDIR=$root "$cmake" --install "$build" --prefix "$prefix" 2>&1); then
    fail "cmake --install into a scratch root"
    sed 's/^/      /' <<<"$install_log"
    finish
fi
pass "cmake --install into a scratch root"

icon_sizes=(16 32 256)
expected=()
for p in "${programs[@]}"; do expected+=("bin/$p"); done
for s in "${icon_sizes[@]}"; do expected+=("share/icons/hicolor/${s}x$s/apps/quorvel.png"); done
expected+=(
    "share/icons/hicolor/scalable/apps/quorvel.svg"
    "share/applications/$app_id.desktop"
    "share/metainfo/$app_id.metainfo.xml"
    "share/doc/quorvel/copyright"
    "share/doc/quorvel/changelog.gz"
    "share/quorvel/settings-per-user"
)
for p in "${programs[@]}"; do expected+=("share/man/man1/$p.1.gz"); done
expected_list=$(printf '%s\n' "${expected[@]}" | sort)
installed_list=$(cd "$usr" && find . ! -type d | sed 's|^\./||' | sort)
check "the installed files are exactly the expected ones" \
    diff -u --label expected --label installed <(echo "$expected_list") <(echo "$installed_list")

is_program() { [ -x "$1" ] && [ "$(head -c 4 "$1" | od -An -c | tr -d ' ')" = '177ELF' ]; }
for p in "${programs[@]}"; do
    check "bin/$p is an executable program" is_program "$usr/bin/$p"
done

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*2^24+$2*2^16+$3*2^8+$4 "x" $5*2^24+$6*2^16+$7*2^8+$8}'; }
for s in "${icon_sizes[@]}"; do
    icon=$usr/share/icons/hicolor/${s}x$s/apps/quorvel.png
    if [ -f "$icon" ] && [ "$(png_size "$icon")" = "${s}x$s" ]; then
        pass "the ${s}x$s icon is a ${s}x$s PNG"
    else
        fail "the ${s}x$s icon is a ${s}x$s PNG (found: $( [ -f "$icon" ] && png_size "$icon"))"
    fi
done
svg=$usr/share/icons/hicolor/scalable/apps/quorvel.svg
check "the scalable icon is an SVG with a viewBox" \
    grep -q '<svg [^>]*viewBox="0 0 256 256"' "$svg"

# --- settings of an installed copy ------------------------------------------------------------
# Run by root, whose /usr/bin is writable, an installed copy still keeps the settings in the
# user's configuration folder and reads no file beside itself.
home=$scratch/home
mkdir -p "$home"
printf '[BaiDuKeyInfo]\r\nAppID=1\r\nSecret_Key_Encode=00\r\n' >"$usr/bin/quorvel.ini"
configured=$(printf '20260101000000001\nQuorvelTestKey01\n' |
    HOME=$home XDG_CONFIG_HOME= "$usr/bin/quorvel-cli" --configure 2>&1)
check "an installed quorvel-cli --configure saves into ~/.config/quorvel/quorvel.ini" \
    grep -q "^AppID=20260101000000001" "$home/.config/quorvel/quorvel.ini"
check "it says where: $configured" grep -qF "$home/.config/quorvel/quorvel.ini" <<<"$configured"
check "the file beside the installed programs is neither read nor written" \
    test "$(HOME=$home "$usr/bin/quorvel-cli" --help | grep -c "$home/.config/quorvel/quorvel.ini")|$(cat "$usr/bin/quorvel.ini")" = \
    "1|$(printf '[BaiDuKeyInfo]\r\nAppID=1\r\nSecret_Key_Encode=00\r\n')"
rm -f "$usr/bin/quorvel.ini"

# --- the desktop entry -----------------------------------------------------------------------
desktop=$usr/share/applications/$app_id.desktop
if report=$(desktop-file-validate "$desktop" 2>&1) && ! grep -qE 'error|warning' <<<"$report"; then
    pass "desktop-file-validate accepts the desktop entry"
    [ -n "$report" ] && sed 's/^/      /' <<<"$report"
else
    fail "desktop-file-validate accepts the desktop entry"
    sed 's/^/      /' <<<"$report"
fi
# A key of the main group, not of an action.
entry() { sed -n "/^\[Desktop Entry\]/,/^\[/s/^$1=//p" "$desktop"; }
exec_program=$(entry Exec | awk '{print $1}')
check "Exec=$exec_program names an installed program" test -x "$usr/bin/$exec_program"
icon_name=$(entry Icon)
for s in "${icon_sizes[@]}"; do
    check "Icon=$icon_name exists in ${s}x$s" test -f "$usr/share/icons/hicolor/${s}x$s/apps/$icon_name.png"
done
check "Icon=$icon_name exists as scalable" test -f "$usr/share/icons/hicolor/scalable/apps/$icon_name.svg"
check "the menu shows \"Quorvel\", and \"自动翻译工具\" in Chinese" \
    test "$(entry Name)|$(entry 'Name\[zh_CN\]')" = "Quorvel|自动翻译工具"
check "the entry has an English and a Chinese comment" \
    test -n "$(entry Comment)" -a -n "$(entry 'Comment\[zh_CN\]')"
check "the entry's action 翻译选中的文字 runs quorvel --selection" \
    test "$(sed -n '/^\[Desktop Action translate-selection\]/,/^\[/{s/^Name=//p;s/^Exec=//p}' \
        "$desktop" | paste -sd'|')" = "翻译选中的文字|quorvel --selection"

# --- the AppStream metadata ------------------------------------------------------------------
metainfo=$usr/share/metainfo/$app_id.metainfo.xml
# Passing means no errors and no warnings; pedantic notes are only shown.
appstream_check() {
    local name=$1 report
    shift
    if report=$("$@" 2>&1) && ! grep -qE '^ *[EW]: ' <<<"$report"; then
        pass "$name"
    else
        fail "$name"
    fi
    sed 's/^/      /' <<<"$report"
}
appstream_check "appstreamcli validate accepts the metainfo" appstreamcli validate --no-net "$metainfo"
appstream_check "appstreamcli validate-tree accepts the installed tree" \
    appstreamcli validate-tree --no-net "$usr"
check "the metainfo id is the application id" grep -q "<id>$app_id</id>" "$metainfo"
check "the metainfo launches $app_id.desktop" \
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
check "the newest release in the metainfo is $version" \
    test "$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1)" = "<release version=\"$version\""

# --- the Debian package ----------------------------------------------------------------------
if ! cpack_log=$("$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" 2>&1); then
    fail "cpack makes the Debian package"
    sed 's/^/      /' <<<"$cpack_log"
    finish
fi
deb=$(find "$scratch/deb" -maxdepth 1 -name '*.deb' | head -n 1)
check "cpack makes quorvel_${version}_<arch>.deb" \
    test "$(basename "$deb")" = "quorvel_${version}_$(dpkg --print-architecture).deb"
check "the package is named quorvel" test "$(dpkg-deb --field "$deb" Package)" = quorvel
check "the package version is $version" test "$(dpkg-deb --field "$deb" Version)" = "$version"

depends=$(dpkg-deb --field "$deb" Depends)
echo "      Depends: $depends"
# The libraries come from dpkg-shlibdeps, the rest is loaded at run time by name.
for dep in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libcurl4 libssl3 qt6-translations-l10n \
    fonts-noto-cjk; do
    check "the package depends on $dep" grep -qE "(^|, )$dep( \(|,|$)" <<<"$depends"
done

check "the package recommends qt6-wayland" \
    test "$(dpkg-deb --field "$deb" Recommends)" = qt6-wayland

package_list=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sed "s|^\./${prefix#/}/||" | sort)
check "the package holds exactly the installed files" \
    diff -u --label installed --label package <(echo "$installed_list") <(echo "$package_list")

# Passing means no errors and no warnings; informational tags are only shown.
if report=$(lintian --allow-root --fail-on error,warning "$deb" 2>&1) &&
    ! grep -qE '^[EW]: ' <<<"$report"; then
    pass "lintian finds no error and no warning in the package"
else
    fail "lintian finds no error and no warning in the package"
fi
[ -n "$report" ] && sed 's/^/      /' <<<"$report"

finish
