#!/usr/bin/env bash
# Fails when a source file includes a header of an area above its own. The areas, lowest first:
#   common < ui < data < session < reports < record < word < checks < statistics < lists < exchange < app
# Besides, code without widgets (data, session and every core/ folder) includes no widget area
# (ui, or the widget part of any area) and no Qt widget header, and an area's core/ folder includes
# no session and no other core but those of lower areas (the order above still holds). The
# engine's own handles (data/engine/) are the data area's alone.
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
order=(common ui data session reports record word checks statistics lists exchange app)
rank() {
    local i
    for i in "${!order[@]}"; do
        [[ "${order[$i]}" == "$1" ]] && { echo "$i"; return; }
    done
    echo -1
}
# A part's rank; core parts (and data, session) rank below the widget parts.
is_core() { [[ "$1" == data/* || "$1" == session/* || "$1" == common/* || "$1" == */core/* ]]; }

failures=0
while IFS= read -r -d '' file; do
    rel="${file#"$src"/}"
    area="${rel%%/*}"
    own=$(rank "$area")
    if [[ "$own" -lt 0 ]]; then
        echo "$rel: not in a known area" >&2
        failures=$((failures + 1))
        continue
    fi
    while IFS= read -r line; do
        included="${line#*\"}"
        included="${included%%\"*}"
        target="${included%%/*}"
        theirs=$(rank "$target")
        if [[ "$theirs" -lt 0 ]]; then
            continue
        fi
        if [[ "$included" == data/engine/* && "$area" != data ]]; then
            echo "$rel includes $included, which is internal to the data area" >&2
            failures=$((failures + 1))
        elif [[ "$theirs" -gt "$own" ]]; then
            echo "$rel includes $included, of the higher area $target" >&2
            failures=$((failures + 1))
        elif is_core "$rel" && ! is_core "$included"; then
            echo "$rel is code without widgets but includes $included" >&2
            failures=$((failures + 1))
        elif [[ "$rel" == */core/* && "$target" == session ]]; then
            echo "$rel is the core of $area but includes $included, of the project session" >&2
            failures=$((failures + 1))
        fi
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
    if is_core "$rel" && grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(QtWidgets/)?(QWidget|QDialog|QMainWindow|QAbstractButton|QPushButton|QLabel|QLineEdit|QComboBox|QTableView|QTreeView|QMessageBox|QFileDialog|QApplication|QAction|QMenu|QtWidgets)>' "$file"; then
        echo "$rel is code without widgets but includes a widget header" >&2
        failures=$((failures + 1))
    fi
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)

if [[ "$failures" -gt 0 ]]; then
    echo "$failures include(s) against the layers" >&2
    exit 1
fi
echo "layers: every include goes to the same or a lower area"
