#!/usr/bin/env bash
# Keeps the includes of the plug-in pointing one way, bottom to top:
#   1 src/platform   2 src/host   3 src/core   4 subsystems   5 src/shell
# An include may point to its own floor or below. Among the subsystems only
# the pairs listed below meet (one builds on the other); the stand-alone host
# and the other programs see only src/host and src/platform.
# Prints each offending line with the rule it breaks; exits 1 when any.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

find src apps -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z |
    xargs -0 grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/' |
    awk '
BEGIN {
    floor["platform"] = 1; floor["host"] = 2; floor["core"] = 3
    floor["map"] = 4; floor["interaction"] = 4; floor["systemtree"] = 4; floor["resources"] = 4
    floor["shell"] = 5
    # Subsystem pairs "from>to" where one builds on the other.
    n = split("map>resources interaction>map interaction>resources systemtree>map systemtree>interaction systemtree>resources resources>map resources>interaction", e, " ")
    for (i = 1; i <= n; ++i) edge[e[i]] = 1
    bad = 0
}
{
    split($0, p, ":"); file = p[1]; line = substr($0, length(p[1]) + length(p[2]) + 3)
    target = line; sub(/^[^"]*"/, "", target); sub(/".*$/, "", target)
    to = target; sub(/\/.*/, "", to)
    split(file, f, "/")
    if (f[1] == "apps") {
        if (to in floor && to != "host" && to != "platform") {
            report(file, line, "a program sees only the host contracts (src/host) and the platform (src/platform)")
        }
        next
    }
    from = f[2]
    if (!(to in floor) || !(from in floor)) next
    if (floor[to] > floor[from])
        report(file, line, "src/" from " (floor " floor[from] ") may not include src/" to " (floor " floor[to] "): includes point down")
    else if (floor[from] == 4 && floor[to] == 4 && from != to && !((from ">" to) in edge))
        report(file, line, "src/" from " may not include src/" to ": subsystems meet only where one builds on the other")
}
function report(file, line, rule) {
    printf "%s: %s\n    rule: %s\n", file, line, rule > "/dev/stderr"
    bad = 1
}
END {
    if (!bad) print "includes point one way: ok"
    exit bad
}'
