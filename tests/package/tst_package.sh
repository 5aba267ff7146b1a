#!/usr/bin/env bash
# The Debian package as a workshop PC gets it: made by CPack from this build into a folder of its
# own, unpacked into a temporary root, its files and control fields checked, its programs started.
# Usage: tst_package.sh CPACK BUILD_DIR VERSION
set -euo pipefail
cpack=$1 build=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
same() { [[ "$2" == "$3" ]] || fail "$1: expected [$3], got [$2]"; }

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
arch=$(dpkg --print-architecture)
deb="$work/out/velkor_${version}_${arch}.deb"
[[ -f "$deb" ]] || { echo "FAIL: no velkor_${version}_${arch}.deb among: $(ls "$work/out")" >&2; exit 1; }

# Every file, and nothing else.
same "files" "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort | tr '\n' ' ')" \
  "./usr/bin/velkor ./usr/bin/velkor-unitsim ./usr/share/applications/velkor.desktop \
./usr/share/doc/velkor/changelog.Debian.gz ./usr/share/doc/velkor/copyright \
./usr/share/icons/hicolor/48x48/apps/velkor.png ./usr/share/icons/hicolor/scalable/apps/velkor.svg \
./usr/share/man/cs/man1/velkor.1.gz ./usr/share/man/man1/velkor-unitsim.1.gz ./usr/share/man/man1/velkor.1.gz "

same "Package" "$(dpkg-deb -f "$deb" Package)" velkor
same "Version" "$(dpkg-deb -f "$deb" Version)" "$version"
same "Architecture" "$(dpkg-deb -f "$deb" Architecture)" "$arch"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6network6 qt6-qpa-plugins \
           qt6-translations-l10n fonts-dejavu-core libqt6sql6 libqt6sql6-sqlite; do
  [[ ", $depends," == *", $dep"[\ ,]* ]] || fail "Depends lacks $dep: $depends"
done
# No maintainer scripts: installing changes no system groups or anything else.
same "control files" "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')" \
  "control md5sums "

root="$work/root"
dpkg-deb -x "$deb" "$root"
same "velkor --version" "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TMPDIR="$work" \
  "$root/usr/bin/velkor" --version)" "velkor $version"
"$root/usr/bin/velkor-unitsim" --help >/dev/null || fail "velkor-unitsim --help failed"

desktop="$root/usr/share/applications/velkor.desktop"
for line in 'Type=Application' 'Name=Velkor – servis a ladění jednotky' 'Exec=velkor --slozka "~/Velkor"' \
            'Icon=velkor' 'Terminal=false' 'Categories=Utility;Development;'; do
  grep -qxF "$line" "$desktop" || fail "velkor.desktop lacks: $line"
done
grep -q '^Comment=[A-Z]' "$desktop" && grep -q '^Comment\[cs\]=.*ř' "$desktop" || fail "velkor.desktop lacks an English and a Czech comment"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate --no-hints "$desktop" || fail "desktop-file-validate"
fi

# A 48 px PNG: width and height are the big-endian words at bytes 16..23.
same "PNG size" "$(od -An -tu1 -j16 -N8 "$root/usr/share/icons/hicolor/48x48/apps/velkor.png" | xargs)" "0 0 0 48 0 0 0 48"
grep -q '<svg ' "$root/usr/share/icons/hicolor/scalable/apps/velkor.svg" || fail "velkor.svg is no SVG"
# The manual in English and Czech: the same sections, every section of TESTER.INI, the folders.
check_manual() {
  local lang=$1 file=$2 headings=$3 man
  man=$(zcat "$file")
  [[ "$man" == ".TH VELKOR 1 \"\" \"Velkor $version\""* ]] || fail "$lang manual: $(head -c 80 <<<"$man")"
  same "$lang manual sections" "$(grep '^\.SH ' <<<"$man" | cut -c5- | tr '\n' '|')" "$headings"
  for word in '\-\-slozka' '\-\-help' '\-\-version' TESTER.INI '[Komunikace]' '[Tlacitka]' '[Verze]' '[Emulace]' \
              '[Osciloskop]' '[Dilna]' Nazev= Technik= data/zalohy/ data/protokoly/ data/zaznamy/ data/vozidla/ dialout; do
    grep -qF -- "$word" <<<"$man" || fail "$lang manual lacks $word"
  done
}
check_manual English "$root/usr/share/man/man1/velkor.1.gz" \
  "NAME|SYNOPSIS|DESCRIPTION|OPTIONS|WORKING FOLDER|TESTER.INI|SERVICE REPORT|SERIAL PORT|SEE ALSO|"
check_manual Czech "$root/usr/share/man/cs/man1/velkor.1.gz" \
  "JMÉNO|POUŽITÍ|POPIS|VOLBY|PRACOVNÍ SLOŽKA|TESTER.INI|SERVISNÍ PROTOKOL|SÉRIOVÝ PORT|VIZ TÉŽ|"
if command -v man >/dev/null; then
  for page in man1/velkor.1.gz cs/man1/velkor.1.gz man1/velkor-unitsim.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/$page" 2>&1 >/dev/null || true)
    [[ -z "$warnings" ]] || fail "$page: $warnings"
  done
fi

# The papers Debian asks for: the licence, a changelog compressed at its best, a real maintainer.
doc="$root/usr/share/doc/velkor"
maintainer=$(dpkg-deb -f "$deb" Maintainer)
[[ "$maintainer" =~ ^[^\<]+\ \<[^@]+@[^\>]+\>$ && "$maintainer" != *localhost* ]] || fail "Maintainer: $maintainer"
head -1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  && grep -q '^License: ' "$doc/copyright" || fail "copyright is no machine-readable copyright file"
changelog=$(zcat "$doc/changelog.Debian.gz")
[[ "$changelog" == "velkor ($version) "* && "$changelog" == *" -- $maintainer  "* ]] || fail "changelog.Debian: $changelog"
same "changelog compression" "$(od -An -tu1 -j8 -N1 "$doc/changelog.Debian.gz" | xargs)" 2  # gzip -9

# lintian where it is installed: no error; the warnings are shown.
if command -v lintian >/dev/null; then
  lint=$(lintian --allow-root "$deb" 2>&1 || true)
  [[ -n "$lint" ]] && echo "$lint"
  grep -q '^E: ' <<<"$lint" && fail "lintian reports errors"
fi

[[ $failures -eq 0 ]] && echo "velkor_${version}_${arch}.deb: files, control fields, menu entry, icons, manual and --version as expected"
exit $(( failures > 0 ))
