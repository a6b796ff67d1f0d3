#!/usr/bin/env bash
# A private CUPS server with a PDF queue, so that the tests can print through a real queue.
#
#   scripts/print-services.sh [start]   start it (again: nothing happens); prints the settings for the
#                                       tests on one line: eval "export $(scripts/print-services.sh)"
#   scripts/print-services.sh stop      stop it and remove its files
#   scripts/print-services.sh env       print the settings only
#   scripts/print-services.sh status    exit code 0 when it runs
#
# Everything lives in build/print-services (KASSOTYP_PRINT_DIR): configuration, spool, logs, and
# the socket cupsd listens on (no network port; CUPS_SERVER points clients at it). The queue
# KassotypPDF uses the cups-pdf backend and writes its PDFs into out/, named after the job title
# with blanks as underscores and the job id appended: "Bon Rechner 3" -> Bon_Rechner_3-job_7.pdf.
#
# cups-pdf reads its settings from /etc/cups only, so this server's queue gets a file of its own
# there (cups-pdf-kassotyp-<hash of the folder>.conf, chosen by the device URI); stop removes it.
# The system's CUPS, if any, is left alone. Needs root: the backend refuses to run as anyone else.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# The backend hands the PDFs over as the user lp: a checkout lp cannot reach (below /root, a
# private home) keeps the server's files in /tmp instead, one folder per checkout.
default_dir="$root/build/print-services"
if ! runuser -u lp -- test -x "$root" 2>/dev/null; then
  default_dir="/tmp/kassotyp-print-services-$(printf '%s' "$root" | cksum | cut -d ' ' -f 1)"
fi
dir="$(realpath -m "${KASSOTYP_PRINT_DIR:-$default_dir}")"
queue=KassotypPDF
sock="$dir/cups.sock"
out="$dir/out"
pidfile="$dir/cupsd.pid"
name="kassotyp-$(printf '%s' "$dir" | cksum | cut -d ' ' -f 1)"
pdfconf="/etc/cups/cups-pdf-$name.conf"
line="CUPS_SERVER=$(printf '%q' "$sock") KASSOTYP_TEST_CUPS_QUEUE=$queue KASSOTYP_TEST_CUPS_PDF_DIR=$(printf '%q' "$out")"
command="${1:-start}"

fail() {
  echo "print-services: $*" >&2
  exit 1
}

# The pid of our cupsd if it runs: the one in the pid file if its command line still fits (pids
# get reused), else one started for this folder whose pid file went missing.
running_pid() {
  local pid
  pid="$(cat "$pidfile" 2>/dev/null || true)"
  if [ -n "$pid" ] && tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline" | grep -qF -- "-c $dir/conf/cupsd.conf"; then
    echo "$pid"
    return 0
  fi
  pgrep -o -f -- "^cupsd -f -c $dir/conf/cupsd.conf " || return 1
}

# (lpstat -r exits 0 either way; its message is translated, hence the C locale.)
answers() { LC_ALL=C lpstat -h "$sock" -r 2>/dev/null | grep -qx 'scheduler is running'; }

# Alive and not a zombie (nobody may reap a daemon whose parent has gone).
alive() { [ -n "$(tr -d '\0' 2>/dev/null <"/proc/$1/cmdline")" ]; }

stop_daemon() {
  local pid
  if pid="$(running_pid)"; then
    kill "$pid"
    for _ in $(seq 100); do
      alive "$pid" || break
      sleep 0.1
    done
    if alive "$pid"; then
      kill -9 "$pid"
    fi
  fi
  rm -f "$pidfile" "$sock"
}

case "$command" in
env)
  echo "$line"
  ;;
status)
  running_pid >/dev/null && answers
  ;;
start)
  [ "$(id -u)" -eq 0 ] || fail "needs root: the cups-pdf backend runs as root only and reads its settings from /etc/cups"
  if ! command -v cupsd >/dev/null || [ ! -x /usr/lib/cups/backend/cups-pdf ]; then
    "$root/scripts/install-deps.sh" cups printer-driver-cups-pdf >&2
  fi
  command -v cupsd >/dev/null || fail "cupsd not found (package cups)"
  [ -x /usr/lib/cups/backend/cups-pdf ] || fail "cups-pdf backend not found (package printer-driver-cups-pdf)"
  # sun_path holds 108 bytes.
  [ "${#sock}" -lt 100 ] || fail "socket path too long for a Unix socket: $sock (set KASSOTYP_PRINT_DIR)"

  if ! running_pid >/dev/null; then
    stop_daemon
    # A fresh server counts jobs from 1 again: old PDFs would carry the new jobs' names.
    rm -rf "$dir/conf" "$dir/state" "$dir/cache" "$dir/spool" "$dir/log" "$dir/cups-pdf" "$out"
    mkdir -p "$dir/conf/ppd" "$dir/state" "$dir/cache" "$dir/spool/tmp" "$dir/log" "$dir/cups-pdf" "$out"
    # cupsd drops to lp for the filters: they need the spool, and the way there.
    chgrp lp "$dir/spool" "$dir/spool/tmp" "$dir/cache"
    chmod 0710 "$dir/spool"
    chmod 1770 "$dir/spool/tmp"
    chmod 0770 "$dir/cache"
    chmod 0755 "$dir"
    cat >"$dir/conf/cups-files.conf" <<EOF
ServerRoot $dir/conf
StateDir $dir/state
CacheDir $dir/cache
RequestRoot $dir/spool
TempDir $dir/spool/tmp
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/state/printcap
User lp
Group lp
SystemGroup root
FileDevice No
EOF
    # Only the socket, no sharing, no browsing; everyone who reaches the socket may do everything.
    cat >"$dir/conf/cupsd.conf" <<EOF
Listen $sock
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
LogLevel info
MaxLogSize 0
ErrorPolicy abort-job
PreserveJobHistory No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
    setsid cupsd -f -c "$dir/conf/cupsd.conf" -s "$dir/conf/cups-files.conf" \
      </dev/null >>"$dir/log/cupsd.out" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 100); do
      answers && break
      running_pid >/dev/null || break
      sleep 0.1
    done
    if ! answers; then
      tail -n 20 "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
      stop_daemon
      fail "cupsd did not come up on $sock (logs in $dir/log)"
    fi
  fi

  # The queue's cups-pdf settings: PDFs into out/, named after the job title (not the PostScript
  # title the filters make up), always with the job id so equal titles do not overwrite each other.
  cat >"$pdfconf" <<EOF
# Written by $root/scripts/print-services.sh for its server in $dir; removed by "stop".
Out $out
AnonDirName $out
Spool $dir/cups-pdf/spool
Log $dir/log
LogType 3
Grp lp
Label 2
TitlePref 1
EOF
  # The backend runs as lp: a folder lp cannot reach would give every job an empty PDF.
  if ! runuser -u lp -- test -x "$out" 2>/dev/null; then
    fail "the user lp cannot reach $out; put the folder elsewhere (KASSOTYP_PRINT_DIR)"
  fi
  if ! lpstat -h "$sock" -p "$queue" >/dev/null 2>&1; then
    # The PPD without options: with options its defaults would override Label and TitlePref.
    ppd=(-P /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd)
    if [ ! -f "${ppd[1]}" ]; then
      model="$(lpinfo -h "$sock" -m 2>/dev/null | grep -i -m 1 'cups-pdf.*noopt' | cut -d ' ' -f 1 || true)"
      [ -n "$model" ] || fail "no cups-pdf PPD found (neither ${ppd[1]} nor via lpinfo -m)"
      ppd=(-m "$model")
    fi
    # (lpadmin warns that PPD drivers are deprecated; only a failure is worth showing.)
    if ! msg="$(lpadmin -h "$sock" -p "$queue" -v "cups-pdf:/$name" "${ppd[@]}" -E \
      -D "Kassotyp-Testdrucker (PDF)" 2>&1)"; then
      echo "$msg" >&2
      fail "lpadmin could not create the queue $queue (logs in $dir/log)"
    fi
    if ! { cupsenable -h "$sock" "$queue" && cupsaccept -h "$sock" "$queue" \
      && lpadmin -h "$sock" -d "$queue"; }; then
      fail "could not enable the queue $queue (logs in $dir/log)"
    fi
  fi
  echo "$line"
  ;;
stop)
  stop_daemon
  rm -f "$pdfconf"
  rm -rf "$dir/conf" "$dir/state" "$dir/cache" "$dir/spool" "$dir/log" "$dir/cups-pdf" "$out"
  rmdir "$dir" 2>/dev/null || true
  ;;
*)
  echo "usage: $0 [start|stop|status|env]" >&2
  exit 2
  ;;
esac
