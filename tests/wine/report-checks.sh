# Checks of the report program's output for the shell tests, sourced by them.
# Every check is also a test case of a GoogleTest-style XML result in the build's
# test-results folder, which the test run counts.
#
#   . report-checks.sh
#   start_checks vardak_display_screens DisplayScreens "$build"
#   check_group 1024x768x24          # the test cases' class is DisplayScreens/<group>
#   report_file=$output              # the report the checks read (LF line ends)
#   expect_entry Display HorzRes 1024
#   finish_checks                    # writes the results; fails when a check failed

start_checks() {
    checks_test=$1
    checks_suite=$2
    checks_results=$3/test-results
    checks_group=""
    checks_cases=""
    checks_failures=0
    mkdir -p "$checks_results"
}

check_group() {
    checks_group=$1
}

xml_text() {
    printf '%s' "$1" | sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g'
}

record_check() {
    local name failure class
    name=$(xml_text "$1")
    failure=$(xml_text "${2:-}")
    class=$checks_suite${checks_group:+/$checks_group}
    if [ -n "$failure" ]; then
        checks_cases+="    <testcase name=\"$name\" classname=\"$class\"><failure message=\"$failure\"/></testcase>"$'\n'
    else
        checks_cases+="    <testcase name=\"$name\" classname=\"$class\"/>"$'\n'
    fi
}

fail() {
    echo "FAIL $*"
    checks_failures=$((checks_failures + 1))
    record_check "$*" "$*"
}

pass() {
    echo "ok   $*"
    record_check "$*"
}

finish_checks() {
    {
        echo '<?xml version="1.0" encoding="UTF-8"?>'
        echo "<testsuites name=\"$checks_test\">"
        echo "  <testsuite name=\"$checks_suite\">"
        printf '%s' "$checks_cases"
        echo '  </testsuite>'
        echo '</testsuites>'
    } >"$checks_results/$checks_test.xml"
    if [ "$checks_failures" -ne 0 ]; then
        echo "$checks_failures check(s) failed"
        return 1
    fi
    echo "all checks passed"
}

# The value of KEY in SECTION of the report, or nothing.
entry() {
    awk -v section="[$1]" -v key="$2" '
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$report_file"
}

# The whole section, one line per entry.
section() {
    awk -v section="[$1]" '/^\[/ { inside = ($0 == section); next } inside { print }' "$report_file"
}

expect_entry() {
    local section=$1 key=$2 expected=$3 actual
    actual=$(entry "$section" "$key")
    if [ "$actual" = "$expected" ]; then
        pass "[$section] $key=$actual"
    else
        fail "[$section] $key: expected '$expected', got '$actual'"
    fi
}
