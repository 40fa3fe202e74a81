#!/bin/sh
# Every text the sources mark for translation has its German in translations/quibbo_de.ts, and
# every count its English plural forms in quibbo_en.ts: each file is brought up to date from the
# sources (in a copy), and no entry may be left unfinished.
set -eu
lupdate=$1
source=$2
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp "$source/translations/quibbo_de.ts" "$copy/"
"$lupdate" -silent -no-obsolete -locations none "$source/src" -ts "$copy/quibbo_de.ts"
if grep -n -B3 'type="unfinished"' "$copy/quibbo_de.ts"; then
    echo "German texts missing from translations/quibbo_de.ts (see above)"
    exit 1
fi
cp "$source/translations/quibbo_en.ts" "$copy/"
"$lupdate" -silent -pluralonly -no-obsolete -locations none -target-language en "$source/src" \
    -ts "$copy/quibbo_en.ts"
if grep -n -B3 'type="unfinished"' "$copy/quibbo_en.ts"; then
    echo "English plural forms missing from translations/quibbo_en.ts (see above)"
    exit 1
fi
echo "every text has its German, and every count its English plural forms"
