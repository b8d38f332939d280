#!/usr/bin/env bash
# crashsafety.sh DRIVER DB_TOOL WORK
#
# The driver stores entries and reminders through the real windows against a
# real database file and is killed with SIGKILL at a random moment, again and
# again, each time restarted on the same folder. After every kill:
#   - the file passes "trovix-db check" (the engine's integrity check, the tables);
#   - "DRIVER --check" finds every row whole and the file holding the state the
#     journal last showed as stored, or the state after the change in flight at
#     the kill: that change is stored whole or not at all.
# Last, the check must refuse a journal claiming a row the file lacks.
# TROVIX_KILLS kills (50 unless set); TROVIX_KILL_SEED repeats a run's delays.
set -u
driver=$1 tool=$2 work=$3
kills=${TROVIX_KILLS:-50}
seed=${TROVIX_KILL_SEED:-$(( $(date +%s) % 32768 ))}
case $kills in '' | *[!0-9]*) echo "crashsafety: TROVIX_KILLS must be a number, not '$kills'" >&2; exit 2 ;; esac

folder=$work/program journal=$work/journal ready=$work/ready
evidence=$work/at-kill # the file and its rollback journal as the kill left them
rm -rf "$work"; mkdir -p "$folder" "$evidence"
"$tool" create "$folder" >/dev/null || { echo "crashsafety: the database could not be made" >&2; exit 1; }

RANDOM=$seed pid= round=0
fail() {
    echo "crashsafety: FAILED at kill $round of $kills (seed $seed): $*" >&2
    echo "crashsafety: the folder, journal and logs are kept in $work" >&2
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    exit 1
}

started=$(date +%s%N) midwrite=0 applied=0 absent=0 checks=0
for ((round = 1; round <= kills; round++)); do
    rm -f "$ready"
    "$driver" "$folder" "$journal" "$ready" "$((seed * 100000 + round))" 2>>"$work/driver.log" & pid=$!
    for ((i = 0; i < 600; i++)); do
        [ -e "$ready" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    [ -e "$ready" ] || { wait "$pid"; pid=; fail "the driver did not come up (status $?, see driver.log)"; }

    # Up to 0.8 s of changes: several saves, often one cut short.
    sleep "$(printf '0.%03d' $((RANDOM % 800)))"
    kill -0 "$pid" 2>/dev/null ||
        { wait "$pid"; status=$?; pid=; fail "the driver stopped by itself (status $status, see driver.log)"; }
    kill -KILL "$pid"; wait "$pid" 2>/dev/null; pid=

    # A rollback journal left behind: the kill came inside a transaction, after its first write.
    rm -f "$evidence"/*
    cp "$folder/trovix.mdb" "$evidence/"
    [ -e "$folder/trovix.mdb-journal" ] && midwrite=$((midwrite + 1)) && cp "$folder/trovix.mdb-journal" "$evidence/"

    "$tool" check "$folder" >"$work/tool.log" 2>&1 || fail "trovix-db check: $(cat "$work/tool.log")"
    verdict=$("$driver" --check "$folder" "$journal" 2>"$work/check.log") || fail "$(cat "$work/check.log")"
    case $verdict in
    *"in-flight applied"*) applied=$((applied + 1)) ;;
    *"in-flight absent"*) absent=$((absent + 1)) ;;
    esac
    checks=$((checks + 1))
done
elapsed=$(( ($(date +%s%N) - started) / 1000000 )) round=$kills

verdict=$("$driver" --check "$folder" "$journal" 2>"$work/check.log") || fail "$(cat "$work/check.log")"
# The check is not blind: one more change shown as stored, with a row the file lacks, must fail it.
state=$(sed -n 's/^state //p' <<<"$verdict")
{ cat "$journal"; echo "base $state"; echo "begin 999999999 new ${state/softwares=/softwares=t0,}"; echo "done 999999999"; } >"$work/wrong-journal"
if "$driver" --check "$folder" "$work/wrong-journal" >/dev/null 2>"$work/check.log" \
    || ! grep -q "the file holds" "$work/check.log"; then
    fail "the check passed a journal claiming a row the file lacks: $(cat "$work/check.log")"
fi

echo "crashsafety: $kills kills (seed $seed) in $((elapsed / 1000)).$(printf '%03d' $((elapsed % 1000))) s"
echo "crashsafety: $(tail -n 1 <<<"$verdict")"
echo "crashsafety: $midwrite kills inside a transaction; a change in flight at $((applied + absent)) kills ($applied stored, $absent not)"
echo "crashsafety: $checks of $kills checks passed; the check refused a journal claiming a missing row"
