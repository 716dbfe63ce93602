#!/usr/bin/env bash
# Compares two builds of pavolant-cli on random roads, byte for byte.
#
#   scripts/compare-builds.sh OLD_CLI NEW_CLI [COUNT] [SEED]
#
# scripts/random-roads.py writes COUNT roads (default 500) from SEED (default 1): most of
# them build, about one in twelve carries a fault. Each road runs in six environments,
# the program's own texts (C), English and German, each with a decimal point and with a
# decimal comma, through OLD_CLI and NEW_CLI with the same arguments in folders of their
# own. Compared per run: the exit status, standard output, standard error (the run
# folder's path made equal), the written document, the saved parameter file (the run
# folder's path made equal) and which files the run left. The German and English texts
# need the catalogs beside each program (the target pavolant_kataloge builds them into
# build/dev/locale).
#
# The decimal comma needs the de_DE.UTF-8 locale; the script compiles it and en_US.UTF-8
# with localedef into a cache folder (once, a few seconds) and points LOCPATH there, so
# nothing needs to be installed. Before the roads it checks on the example road that
# each environment gives what it stands for (its language, its separator), so that a
# locale that did not take cannot pass as "no differences".
#
# Prints a summary and, for every road with a difference, its file and a unified diff of
# its first differing output. Exit status 0 when nothing differs, 1 on any difference, 2
# on wrong usage or a failed set-up. The work folder (roads, runs that differed) is kept
# when something differed, or always with KEEP=1; COMPARE_DIR names it. JOBS (default 2)
# runs that many cases at once.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The variables of each environment (the rest of the environment is empty): the texts of
# the code (C), English, German, each with the decimal point and the decimal comma.
environment() {
  case $1 in
    C.point) env_vars=(LC_ALL=C) ;;
    C.comma) env_vars=(LANG=C LC_NUMERIC=de_DE.UTF-8) ;;
    en.point) env_vars=(LANG=en_US.UTF-8 LANGUAGE=en) ;;
    en.comma) env_vars=(LANG=en_US.UTF-8 LANGUAGE=en LC_NUMERIC=de_DE.UTF-8) ;;
    de.point) env_vars=(LANG=de_DE.UTF-8 LC_NUMERIC=C) ;;
    de.comma) env_vars=(LANG=de_DE.UTF-8) ;;
    *) echo "compare-builds: unknown environment $1" >&2; exit 2 ;;
  esac
}
# ---- One batch of cases, run by xargs: --worker WORK OLD NEW TASK... ----------------------
if [ "${1:-}" = "--worker" ]; then
  work=$2 old=$3 new=$4
  shift 4
  locpath=$(<"$work/locpath")
  results="$work/results/$BASHPID"

  # run SIDE CLI: the case's run through one program, into $dir/SIDE.
  run() {
    local side=$1 cli=$2 folder="$dir/$1/run" a what path
    mkdir -p "$folder"
    local args=()
    for a in "${lines[@]}"; do
      a=${a//\{ROADS\}/$work/roads}
      a=${a//\{RUN\}/$folder}
      args+=("$a")
    done
    for a in "${prepares[@]}"; do
      what=${a%% *} path=${a#* }
      path=${path//\{RUN\}/$folder}
      case $what in
        file) printf 'an older document\n' >"$folder/${path#"$folder"/}" ;;
        readonly) printf 'an older document\n' >"$folder/${path#"$folder"/}"; chmod a-w "$folder/${path#"$folder"/}" ;;
        folder) mkdir -p "$folder/${path#"$folder"/}" ;;
      esac
    done
    set +e
    (cd "$folder" && exec timeout -k 5 120 env -i "${env_vars[@]}" LOCPATH="$locpath" "$cli" "${args[@]}") \
      >"$dir/$side/stdout" 2>"$dir/$side/stderr"
    echo $? >"$dir/$side/status"
    set -e
  }

  # The run folder's path, which the two runs spell differently, made equal.
  normalised() {
    local file=$1 folder=$2
    [ -f "$file" ] || return 0
    FOLDER=$folder perl -pe 's/\Q$ENV{FOLDER}\E/<RUN>/g' "$file"
  }

  for task in "$@"; do
    id=${task%%:*} envname=${task#*:}
    environment "$envname"
    lines=() prepares=()
    while IFS= read -r line; do
      case $line in
        "#prepare "*) prepares+=("${line#"#prepare "}") ;;
        "#"*) ;;
        *) lines+=("$line") ;;
      esac
    done <"$work/roads/$id.args"
    dir="$work/runs/$id.$envname"
    rm -rf "$dir"
    run old "$old"
    run new "$new"
    status=$(<"$dir/old/status")
    if diff -r -q "$dir/old" "$dir/new" >/dev/null 2>&1; then
      echo "$id $envname $status same" >>"$results"
      rm -rf "$dir"
      continue
    fi
    # Something differs: look again with the run folder's path made equal, output by
    # output, and keep the first difference as a unified diff.
    first="" report="$dir/difference.txt"
    for side in old new; do
      (cd "$dir/$side/run" && find . -mindepth 1 -printf '%P %y %m\n' | LC_ALL=C sort) >"$dir/$side/listing"
    done
    for part in status stdout stderr run/out.i3d run/saved.ini listing; do
      a="$dir/old/$part" b="$dir/new/$part"
      # A file only one run wrote differs even when it is empty.
      if [ -e "$a" ] && [ ! -e "$b" ] || [ ! -e "$a" ] && [ -e "$b" ] ||
         ! cmp -s <(normalised "$a" "$dir/old/run") <(normalised "$b" "$dir/new/run"); then
        first=$part
        break
      fi
    done
    if [ -z "$first" ]; then
      # Every named output is equal once normalised: the rest of the run folders decide.
      for f in "$dir/old/run"/* "$dir/new/run"/*; do
        [ -e "$f" ] || continue
        rel=${f#"$dir"/*/run/}
        if ! cmp -s <(normalised "$dir/old/run/$rel" "$dir/old/run") <(normalised "$dir/new/run/$rel" "$dir/new/run"); then
          first="run/$rel"
          break
        fi
      done
    fi
    if [ -z "$first" ]; then
      echo "$id $envname $status same" >>"$results"
      rm -rf "$dir"
      continue
    fi
    {
      echo "road $work/roads/$id.ini, environment $envname (${env_vars[*]})"
      echo "arguments:$(printf ' %q' "${lines[@]//\{ROADS\}/$work/roads}")"
      echo "exit status: old $(<"$dir/old/status"), new $(<"$dir/new/status"); first difference: $first"
      diff -u --label "old/$first" --label "new/$first" \
        <(normalised "$dir/old/$first" "$dir/old/run") <(normalised "$dir/new/$first" "$dir/new/run") | head -n 40 || true
    } >"$report"
    echo "$id $envname $status differ" >>"$results"
  done
  exit 0
fi

# ---- The comparison ---------------------------------------------------------------------------
usage() {
  echo "usage: scripts/compare-builds.sh OLD_CLI NEW_CLI [COUNT] [SEED]" >&2
  exit 2
}
[ $# -ge 2 ] && [ $# -le 4 ] || usage
old=$(realpath "$1") new=$(realpath "$2")
count=${3:-500} seed=${4:-1}
[[ $count =~ ^[1-9][0-9]*$ ]] && [[ $seed =~ ^[0-9]+$ ]] || usage
for cli in "$old" "$new"; do
  [ -x "$cli" ] || { echo "compare-builds: $cli is no program" >&2; exit 2; }
done
for tool in python3 localedef perl xargs timeout; do
  command -v "$tool" >/dev/null || { echo "compare-builds: $tool is missing" >&2; exit 2; }
done

# The locales of the comma and of English, compiled once.
locales=${XDG_CACHE_HOME:-$HOME/.cache}/pavolant-compare/locale
for loc in de_DE en_US; do
  if [ ! -f "$locales/$loc.UTF-8/LC_NUMERIC" ]; then
    mkdir -p "$locales"
    localedef -c -i "$loc" -f UTF-8 "$locales/$loc.UTF-8" >/dev/null 2>&1 || true
    [ -f "$locales/$loc.UTF-8/LC_NUMERIC" ] || { echo "compare-builds: localedef could not make $loc.UTF-8" >&2; exit 2; }
  fi
done

work=${COMPARE_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/compare-builds.XXXXXX")}
rm -rf "$work/roads" "$work/runs" "$work/results"
mkdir -p "$work/roads" "$work/runs" "$work/results"
# C.UTF-8, which the program falls back on for its catalogs, stays reachable.
echo "$locales:/usr/lib/locale" >"$work/locpath"
environments=(C.point C.comma en.point en.comma de.point de.comma)

# Each environment must give its language and its separator: the example road's report
# names its borders in that language, its saved parameters carry that separator.
check="$work/check"
declare -A heading=([C]="BorderPoint output for: right Border" [en]="Border points of: Right border"
                    [de]="Randpunkte von: Rechter Rand")
for e in "${environments[@]}"; do
  rm -rf "$check" && mkdir -p "$check/run"
  environment "$e"
  (cd "$check/run" && env -i "${env_vars[@]}" LOCPATH="$(<"$work/locpath")" "$old" -o out.i3d --save-params saved.ini \
    "$here/../examples/Dorfstrasse.ini" >"$check/stdout" 2>"$check/stderr") ||
    { echo "compare-builds: the example road fails in $e:" >&2; cat "$check/stderr" >&2; exit 2; }
  want=.
  [[ $e == *.comma ]] && want=,
  grep -q "^minWinkel=2${want}5" "$check/run/saved.ini" ||
    { echo "compare-builds: environment $e does not give the separator '$want'" >&2; exit 2; }
  grep -qx "${heading[${e%%.*}]}" "$check/stdout" ||
    { echo "compare-builds: environment $e does not give its language (are the catalogs built? target pavolant_kataloge)" >&2; exit 2; }
done
rm -rf "$check"

python3 "$here/random-roads.py" "$count" "$seed" "$work/roads"
mapfile -t ids < <(cd "$work/roads" && ls -- *.args | sed 's/\.args$//' | LC_ALL=C sort)

start=$(date +%s%N)
for id in "${ids[@]}"; do
  for e in "${environments[@]}"; do echo "$id:$e"; done
done | xargs -P "${JOBS:-2}" -n 30 bash "$0" --worker "$work" "$old" "$new" ||
  echo "compare-builds: a batch of runs failed (status $?); the count below says how many finished" >&2
end=$(date +%s%N)

runs=$(cat "$work/results"/* | wc -l)
differ=$(cat "$work/results"/* | grep -c ' differ$' || true)
expected=$(( ${#ids[@]} * ${#environments[@]} ))
echo "compare-builds: $old"
echo "            vs  $new"
echo "${#ids[@]} roads (seed $seed), $runs runs of each program in ${#environments[@]} environments," \
  "$(( (end - start) / 1000000000 )) s"
echo "exit status of the old program: $(cat "$work/results"/* | awk '{print $3}' | sort | uniq -c | awk '{printf "%s×%s ", $1, $2}')"
echo "roads by kind: $(grep -h '^#kind ' "$work/roads"/*.args | sort | uniq -c | awk '{printf "%s %s, ", $1, $3}' | sed 's/, $//')"
if [ "$runs" -ne "$expected" ]; then
  echo "compare-builds: only $runs of $expected runs finished" >&2
  exit 1
fi
echo "differences: $differ"
if [ "$differ" -eq 0 ]; then
  [ "${KEEP:-0}" = 1 ] && echo "work folder: $work" || rm -rf "$work"
  exit 0
fi

# One diff per road (its first differing environment); the other environments by name.
shown=0
while read -r id; do
  envs=$(cat "$work/results"/* | awk -v id="$id" '$1 == id && $4 == "differ" {print $2}' | sort)
  firstenv=""
  for e in "${environments[@]}"; do
    if grep -qx "$e" <<<"$envs"; then firstenv=$e; break; fi
  done
  echo
  echo "=== road $id differs in: $(echo $envs)"
  if [ "$shown" -lt 50 ]; then
    cat "$work/runs/$id.$firstenv/difference.txt"
  else
    echo "(diff in $work/runs/$id.$firstenv/difference.txt)"
  fi
  shown=$((shown + 1))
done < <(cat "$work/results"/* | awk '$4 == "differ" {print $1}' | sort -u)
echo
echo "compare-builds: $differ of $runs runs differ; work folder: $work"
exit 1
