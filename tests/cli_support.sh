# The shell tests' way of running glyfor-cli and telling what failed. The sourcing script sets
# `cli` and `work` first; it ends by reporting `passed` and `failed`.

passed=0
failed=0

fail() {
    echo "FAIL: $current: $*" >&2
    failed=$((failed + 1))
}

# run EXPECTED_EXIT ARGS...: runs the CLI in $work with stdout and stderr kept in files.
run() {
    expected=$1
    shift
    current="glyfor-cli $*"
    status=0
    (cd "$work" && "$cli" "$@") > "$work/stdout" 2> "$work/stderr" || status=$?
    if [ "$status" -ne "$expected" ]; then
        fail "exit $status, expected $expected; stderr: $(cat "$work/stderr")"
        return 1
    fi
    return 0
}

stderr_has() {
    grep -qF -- "$1" "$work/stderr" || fail "stderr lacks '$1': $(cat "$work/stderr")"
}

# A case passes when it added no failure to the count taken before it.
done_case() {
    if [ "$failed" -eq "$1" ]; then passed=$((passed + 1)); fi
}
