#!/usr/bin/env bash
# Runs renpin-cli as a user would and checks its output bytes, messages and exit code:
#   end_to_end.sh arguments|stdin|invalid|long host|windows PROGRAM...
# PROGRAM... starts the program (for Windows, the Wine wrapper first). Exits 77 when the wrapper
# cannot run the program on this machine.
set -u
export LC_ALL=C  # byte-wise pattern matching
group=$1 platform=$2
shift 2
program=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

tom=$'查询姓名：Tom\r\n人品得分：4\r\n综合评价：算了，跟你没什么人品好谈的...\r\n'
zhang=$'查询姓名：张三\r\n人品得分：29\r\n综合评价：你的人品太差了。你应该有干坏事的嗜好吧?\r\n'
over_100=$'哇靠!你的人品已经过100了!人品计算器已经甘愿认输!\r\n'
reproach=$'老大不要玩我,名字都没有你想算什么!\r\n'
# The second and third lines of a report; the evaluation text is checked for shape only.
report_tail=$'^人品得分：-?[0-9]+\r\n综合评价：[^\r\n]+\r\n$'

# run STDIN ARGS...: runs the program with STDIN as its input text.
run() {
    printf '%s' "$1" >"$work/in"
    shift
    "${program[@]}" "$@" <"$work/in" >"$work/out" 2>"$work/err"
    rc=$?
    if [ "$rc" = 77 ]; then
        exit 77
    fi
}

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect WHAT RC STDOUT [STDERR_PATTERN]: no pattern means standard error must stay empty.
expect() {
    printf '%s' "$3" >"$work/want"
    [ "$rc" = "$2" ] || fail "$1: exit code $rc, expected $2"
    if ! cmp -s "$work/out" "$work/want"; then
        fail "$1: standard output differs"
        od -c "$work/out" | head -n 20 >&2
    fi
    if [ -n "${4:-}" ]; then
        grep -q -- "$4" "$work/err" || fail "$1: no '$4' on standard error: $(cat "$work/err")"
    elif [ -s "$work/err" ]; then
        fail "$1: unexpected standard error: $(cat "$work/err")"
    fi
}

# expect_report WHAT NAME_FILE: a report, exit code 0, whose first line holds the whole name.
expect_report() {
    { printf '查询姓名：' && cat "$2" && printf '\r\n'; } >"$work/first"
    local size rest
    size=$(stat -c %s "$work/first")
    [ "$rc" = 0 ] || fail "$1: exit code $rc"
    cmp -s -n "$size" "$work/out" "$work/first" || fail "$1: first line differs"
    rest=$(tail -c +"$((size + 1))" "$work/out" && printf .)
    [[ ${rest%.} =~ $report_tail ]] || fail "$1: no score and evaluation lines after the name"
}

case "$group" in
arguments)
    run '' Tom
    expect "Tom" 0 "$tom"
    run '' 张三
    expect "a CJK name" 0 "$zhang"
    run '' K-VEM
    expect "a favoured name" 0 "$over_100"
    run '' ''
    expect "an empty name" 0 "$reproach"
    run '' Tom K-VEM '' 张三
    expect "several names, in order" 0 "$tom$over_100$reproach$zhang"
    printf '\xF0\x9F\x98\x80' >"$work/name"
    run '' "$(cat "$work/name")"
    expect_report "a character beyond the BMP" "$work/name"
    ;;
stdin)
    run $'Tom\r\n\n张三' -
    expect "CR LF, an empty line, no final LF" 0 "$tom$reproach$zhang"
    run $'K-VEM\n' -
    expect "a final LF adds no name" 0 "$over_100"
    run '' -
    expect "no input" 0 ""
    run $'\n' Tom - K-VEM
    expect "- among names" 0 "$tom$reproach$over_100"
    # A byte order mark opens standard input only; elsewhere it is part of the name.
    run $'\xEF\xBB\xBF张三\r\nTom\n' -
    expect "a byte order mark at the start" 0 "$zhang$tom"
    run $'\xEF\xBB\xBF\n' -
    expect "a byte order mark alone" 0 "$reproach"
    run '' Tom $'\xEF\xBB\xBF张三'
    with_mark=$(cat "$work/out" && printf .)
    run $'Tom\n\xEF\xBB\xBF张三\n' -
    expect "a byte order mark on a later line" 0 "${with_mark%.}"
    ;;
invalid)
    run ''
    expect "no arguments" 2 "" "usage: renpin-cli"
    run $'Tom\n\xC0\xAF\nK-VEM\n' -
    expect "an overlong form on stdin" 2 "$tom" "line 2 of standard input is not valid UTF-8"
    run $'Tom\r\nK-VEM\r\n\xE5\xBC' -
    expect "a truncated last line" 2 "$tom$over_100" \
        "line 3 of standard input is not valid UTF-8"
    # Windows programs receive their arguments as UTF-16, never as bytes.
    if [ "$platform" = host ]; then
        run '' Tom $'\xED\xA0\x80' K-VEM
        expect "a surrogate argument" 2 "$tom" "argument 2 is not valid UTF-8"
    fi
    ;;
long)
    yes 张 | head -n 1000000 | tr -d '\n' >"$work/name"
    run "$(cat "$work/name")"$'\n' -
    expect_report "a million code units" "$work/name"
    ;;
*)
    echo "unknown group $group" >&2
    exit 2
    ;;
esac
exit $((failures > 0))
