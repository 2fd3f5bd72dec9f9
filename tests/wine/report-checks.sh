# shellcheck shell=bash disable=SC2034,SC2154
# Checks of the report program's output for the Wine test scripts; every check is
# also a test case of a GoogleTest-style XML result in the build's test-results
# folder, which the test run counts. Sourced:
#   report_paths BUILD_DIR  sets top, build, prefix (VARDAK_WINEPREFIX or the build's)
#                           and report_program
#   checks_begin BUILD_DIR RESULT_NAME SUITE
#   report=FILE            the report under test, its CR removed
#   check_group=NAME       groups the following cases (a screen, a run)
#   pass TEXT | fail TEXT | expect_entry SECTION KEY VALUE
#   entry SECTION KEY      the value, or nothing;  section SECTION  its lines
#   checks_end             writes the XML; exits 1 after a failed check

report_paths() {
    top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    build=$(cd "$1" && pwd)
    prefix=${VARDAK_WINEPREFIX:-$build/wineprefix}
    report_program=$build/app/VardakReport.exe
}

checks_begin() {
    checks_results=$1/test-results
    checks_name=$2
    checks_suite=$3
    checks_cases=""
    check_group=""
    failures=0
    mkdir -p "$checks_results"
}

xml_escaped() {
    printf '%s' "$1" | sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g'
}

record() {
    local name failure=${2:-} classname
    name=$(xml_escaped "$1")
    classname=$(xml_escaped "$checks_suite/$check_group")
    if [ -n "$failure" ]; then
        failure=$(xml_escaped "$failure")
        checks_cases+="    <testcase name=\"$name\" classname=\"$classname\"><failure message=\"$failure\"/></testcase>"$'\n'
    else
        checks_cases+="    <testcase name=\"$name\" classname=\"$classname\"/>"$'\n'
    fi
}

fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
    record "$*" "$*"
}

pass() {
    echo "ok   $*"
    record "$*"
}

# The value of KEY in SECTION of the report, or nothing.
entry() {
    awk -v section="[$1]" -v key="$2" '
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$report"
}

# The whole section, one line per entry.
section() {
    awk -v section="[$1]" '/^\[/ { inside = ($0 == section); next } inside { print }' "$report"
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

checks_end() {
    {
        echo '<?xml version="1.0" encoding="UTF-8"?>'
        echo "<testsuites name=\"$checks_name\">"
        echo "  <testsuite name=\"$checks_suite\">"
        printf '%s' "$checks_cases"
        echo '  </testsuite>'
        echo '</testsuites>'
    } >"$checks_results/$checks_name.xml"
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    echo "all checks passed"
}
