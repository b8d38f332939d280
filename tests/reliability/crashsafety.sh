#!/usr/bin/env bash
# crashsafety.sh DRIVER CHECK DB_TOOL WORK
#
# The driver stores entries and reminders through the real windows against a
# real database file and is killed with SIGKILL at a random moment, again and
# again, each time restarted on the same folder. After every kill:
#   - the file passes "trovix-db check" (the engine's integrity check, the tables);
#   - savecheck finds every row whole and every change the windows showed as
#     stored still there (the one in flight may be there or not, never half),
#     and settles the journal so the next run continues from what is stored.
# TROVIX_KILLS kills (50 unless set); TROVIX_KILL_SEED repeats a run's delays.
set -u
driver=$1
check=$2
tool=$3
work=$4
kills=${TROVIX_KILLS:-50}
seed=${TROVIX_KILL_SEED:-$(( $(date +%s) % 32768 ))}
case $kills in '' | *[!0-9]*) echo "crashsafety: TROVIX_KILLS must be a number, not '$kills'" >&2; exit 2 ;; esac

folder=$work/program
journal=$work/journal
ready=$work/ready
evidence=$work/at-kill # the file and its rollback journal as the kill left them
rm -rf "$work"
mkdir -p "$folder" "$evidence"
"$tool" create "$folder" >/dev/null || { echo "crashsafety: the database could not be made" >&2; exit 1; }

RANDOM=$seed
pid=
fail() {
    echo "crashsafety: FAILED at kill $round of $kills (seed $seed): $*" >&2
    echo "crashsafety: the folder, journal and logs are kept in $work" >&2
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    exit 1
}

started=$(date +%s%N)
midwrite=0 applied=0 absent=0 checks=0
for ((round = 1; round <= kills; round++)); do
    rm -f "$ready"
    "$driver" "$folder" "$journal" "$ready" "$((seed * 100000 + round))" 2>>"$work/driver.log" &
    pid=$!
    for ((i = 0; i < 600; i++)); do
        [ -e "$ready" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    [ -e "$ready" ] || { wait "$pid"; pid=; fail "the driver did not come up (status $?, see driver.log)"; }

    # Up to 0.8 s of changes: several saves, often one cut short.
    sleep "$(printf '0.%03d' $((RANDOM % 800)))"
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid"
        status=$?
        pid=
        fail "the driver stopped by itself (status $status, see driver.log)"
    fi
    kill -KILL "$pid"
    wait "$pid" 2>/dev/null
    pid=

    # A rollback journal left behind: the kill came inside a transaction, after its first write.
    rm -f "$evidence"/*
    cp "$folder/trovix.mdb" "$evidence/"
    if [ -e "$folder/trovix.mdb-journal" ]; then
        midwrite=$((midwrite + 1))
        cp "$folder/trovix.mdb-journal" "$evidence/"
    fi

    "$tool" check "$folder" >"$work/tool.log" 2>&1 || fail "trovix-db check: $(cat "$work/tool.log")"
    verdict=$("$check" "$folder" "$journal" --settle 2>"$work/check.log") \
        || fail "$(cat "$work/check.log")"
    case $verdict in
    *"in-flight applied"*) applied=$((applied + 1)) ;;
    *"in-flight absent"*) absent=$((absent + 1)) ;;
    esac
    checks=$((checks + 1))
done
elapsed=$(( ($(date +%s%N) - started) / 1000000 ))

summary=$("$check" "$folder" "$journal" | tail -n 1)
echo "crashsafety: $kills kills (seed $seed) in $((elapsed / 1000)).$(printf '%03d' $((elapsed % 1000))) s"
echo "crashsafety: $summary"
echo "crashsafety: $midwrite kills inside a transaction; a change in flight at $((applied + absent)) kills ($applied stored, $absent not)"
echo "crashsafety: $checks of $kills checks passed"
