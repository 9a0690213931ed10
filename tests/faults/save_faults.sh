#!/usr/bin/env bash
# Fails and kills a save of a plan at every rename, link, unlink, write and
# fsync it makes (strace's fault injection), then opens the plan by another
# spelling of its path and checks that it is wholly the old plan or wholly the
# new one, byte for byte, with nothing else left beside it.
#
#   save_faults.sh PURSEKEEP_CLI
#
# Exit 0 when every case holds, 1 on the first that does not, 77 when strace
# cannot trace here.
set -uo pipefail
cli="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if ! command -v strace >/dev/null || ! strace -f -qq -o /dev/null true 2>/dev/null; then
    echo "strace cannot trace here"
    exit 77
fi

# Two plans with every table filled, the new one larger (several writes a file).
csv() {
    local dir="$1" items="$2" kind="$3"
    mkdir -p "$dir"
    {
        echo "item,freq,amount,cat,catid,notes"
        for ((i = 0; i < items; i++)); do
            echo "Item $kind $i,Weekly,$((i + 1)).25,Home,E,a note for item $i"
        done
        echo "Salary $kind,Monthly,3000,Work,I,"
    } >"$dir/items.csv"
    printf 'cat,catid\nHome,E\nWork,I\n' >"$dir/categories.csv"
    printf 'cat_id,cat,item,dom,desc,month\nE,Home,Item %s 1,5,pay it,3\n' "$kind" >"$dir/reminders.csv"
}
csv "$work/old-csv" 40 old
csv "$work/new-csv" 3000 new

family=(home.pkb home.pkbln home.pkbsv home.pkbcat home.pkbrem home.pkbini)
"$cli" import "$work/old-csv" "$work/old/home.pkb" 2>/dev/null || { mkdir -p "$work/old" && "$cli" import "$work/old-csv" "$work/old/home.pkb" 2>/dev/null; } || exit 1
mkdir -p "$work/new"
"$cli" import "$work/new-csv" "$work/new/home.pkb" 2>/dev/null || exit 1
old_totals="$("$cli" totals "$work/old/home.pkb" --frequency Monthly)"
new_totals="$("$cli" totals "$work/new/home.pkb" --frequency Monthly)"

same_family() {
    local a="$1" b="$2" f
    for f in "${family[@]}"; do
        cmp -s "$a/$f" "$b/$f" || return 1
    done
}

failures=0
cases=0
# One case: a fresh copy of the old plan, a save of the new one under strace
# with `inject`, then a check through "plan/../plan//home.pkb" from another
# folder (and once through a link to the folder).
check() {
    local inject="$1"
    rm -rf "$work/p" "$work/link"
    cp -a "$work/old" "$work/p"
    { (cd "$work" && strace -f -qq -o /dev/null -e inject="$inject" "$cli" import new-csv p/home.pkb >/dev/null 2>&1); } 2>/dev/null
    ln -s "$work/p" "$work/link"
    local spelling="$work/link/../p//home.pkb"
    local totals
    totals="$(cd / && "$cli" totals "$spelling" --frequency Monthly 2>&1)"
    local left
    left="$(cd "$work/p" && ls -A | tr '\n' ' ')"
    cases=$((cases + 1))
    local whole=""
    if [[ "$totals" == "$old_totals" ]] && same_family "$work/p" "$work/old"; then
        whole=old
    elif [[ "$totals" == "$new_totals" ]] && same_family "$work/p" "$work/new"; then
        whole=new
    fi
    if [[ -z "$whole" || "$left" != "home.pkb home.pkbcat home.pkbini home.pkbln home.pkbrem home.pkbsv " ]]; then
        echo "FAIL  $inject: plan is ${whole:-mixed}; left: $left"
        echo "$totals" | head -3
        failures=$((failures + 1))
    else
        echo "ok    $inject: wholly $whole"
    fi
}

# How often a save makes each call, counted on a save that is left alone.
count() {
    rm -rf "$work/p" && cp -a "$work/old" "$work/p"
    (cd "$work" && strace -f -qq -o "$work/trace" -e trace="$1" "$cli" import new-csv p/home.pkb >/dev/null 2>&1)
    grep -c "^[0-9]* *$1(" "$work/trace"
}

for call in rename link unlink write fsync; do
    n="$(count $call)"
    for ((i = 1; i <= n; i++)); do
        check "$call:signal=SIGKILL:when=$i"
        if [[ $call != write && $call != fsync ]]; then
            check "$call:error=EIO:when=$i"
        fi
    done
done
check "write:error=ENOSPC:when=5"
check "fsync:error=EIO:when=3"

echo "$cases cases, $failures failed"
[[ $failures -eq 0 ]]
