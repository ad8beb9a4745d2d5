#!/usr/bin/env bash
# A private CUPS server for the printing tests: its own configuration, spool, logs and PDF
# output under DIR, listening on a free port of the loopback interface only, with a queue
# "MarqorPDF_<port>" (printer-driver-cups-pdf) that writes every job as a PDF file into
# DIR/pdf (through PostScript and Ghostscript, as on a desktop), a queue "MarqorFile_<port>"
# that stores each job as sent (the PDF the program made) in DIR/file/job.pdf, and a queue
# "MarqorRefusing_<port>" that refuses every job.
# The system's scheduler, spool and configuration are not used. The one file outside DIR is
# the queue's own cups-pdf configuration, /etc/cups/cups-pdf-<queue>.conf (cups-pdf reads
# nothing else), which stop removes again.
#
#   scripts/cups.sh start DIR   starts the server; prints CUPS_SERVER=127.0.0.1:PORT and
#                               MARQOR_PDF_QUEUE, MARQOR_FILE_QUEUE, MARQOR_REFUSING_QUEUE
#                               and writes them to DIR/env. Exit status 1 when the server
#                               cannot start (DIR/log says why).
#   scripts/cups.sh stop DIR    stops the server started for DIR and removes its queue file.
set -euo pipefail

command="${1:-}"
dir="${2:-}"
[ -n "$command" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
stop() {
    if [ -f "$dir/queue" ]; then
        rm -f "/etc/cups/cups-pdf-$(cat "$dir/queue").conf"
        rm -f "$dir/queue"
    fi
    if [ -f "$dir/cupsd.pid" ]; then
        local pid
        pid="$(cat "$dir/cupsd.pid")"
        if kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
            kill -9 "$pid" 2>/dev/null || true
        fi
        rm -f "$dir/cupsd.pid"
    fi
}

if [ "$command" = stop ]; then
    stop
    exit 0
fi
[ "$command" = start ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }

[ "$(id -u)" -eq 0 ] || { echo "cups.sh: the scheduler's PDF printer needs root" >&2; exit 1; }
for tool in cupsd lpadmin lpstat cupsreject; do
    command -v "$tool" >/dev/null || { echo "cups.sh: $tool is not installed" >&2; exit 1; }
done
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -x /usr/lib/cups/backend/cups-pdf ] && [ -f "$ppd" ] ||
    { echo "cups.sh: printer-driver-cups-pdf is not installed" >&2; exit 1; }

mkdir -p "$dir"/{etc/ppd,spool,tmp,cache,state,log,pdf,file,cups-pdf-spool}
# The scheduler's filters run as user lp: they must reach the spool below DIR.
chmod 0755 "$dir"
chgrp lp "$dir/pdf" "$dir/file" "$dir/cups-pdf-spool" "$dir/tmp" 2>/dev/null || true
chmod 0775 "$dir/pdf" "$dir/file" "$dir/cups-pdf-spool"
chmod 1770 "$dir/tmp"

# A free port: one nobody answers on.
port=""
for _ in $(seq 200); do
    candidate=$((20000 + RANDOM % 20000))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
        port="$candidate"
        break
    fi
done
[ -n "$port" ] || { echo "cups.sh: no free port found" >&2; exit 1; }

cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
FileDevice Yes
SystemGroup root
CONF
cat >"$dir/etc/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
ServerName 127.0.0.1
LogLevel warn
WebInterface No
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
DefaultShared No
PreserveJobFiles No
MaxJobs 100
<Location />
  Order allow,deny
  Allow from 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
queue="MarqorPDF_$port"
echo "$queue" >"$dir/queue"
cat >"/etc/cups/cups-pdf-$queue.conf" <<CONF
Out $dir/pdf
AnonDirName $dir/pdf
Spool $dir/cups-pdf-spool
UserUMask 0022
Label 0
TitlePref 0
LogType 3
Log $dir/log
CONF

cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
echo $! >"$dir/cupsd.pid"

server="127.0.0.1:$port"
for _ in $(seq 100); do
    if lpstat -h "$server" -r 2>/dev/null | grep -q "is running"; then
        break
    fi
    if ! kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null; then
        echo "cups.sh: the scheduler ended at once; see $dir/log" >&2
        exit 1
    fi
    sleep 0.1
done
if ! lpadmin -h "$server" -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" 2>"$dir/log/lpadmin.err"; then
    echo "cups.sh: the PDF queue cannot be set up: $(cat "$dir/log/lpadmin.err")" >&2
    stop
    exit 1
fi
lpadmin -h "$server" -d "$queue" 2>/dev/null || true
file="MarqorFile_$port"
# The file queue is a printer that takes PDF: CUPS's own pdftopdf prepares the job, and the
# file gets the program's PDF with its text intact.
sed 's|^\*% cupsFilter:.*|*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"|' "$ppd" \
    >"$dir/etc/pdf-file.ppd"
refusing="MarqorRefusing_$port"
if ! lpadmin -h "$server" -p "$file" -E -v "file://$dir/file/job.pdf" -P "$dir/etc/pdf-file.ppd" 2>>"$dir/log/lpadmin.err" ||
    ! lpadmin -h "$server" -p "$refusing" -E -v "cups-pdf:/$queue" -P "$ppd" 2>>"$dir/log/lpadmin.err" ||
    ! cupsreject -h "$server" -r "refused for the tests" "$refusing" 2>>"$dir/log/lpadmin.err"; then
    echo "cups.sh: the file and refusing queues cannot be set up: $(cat "$dir/log/lpadmin.err")" >&2
    stop
    exit 1
fi
printf 'CUPS_SERVER=%s\nMARQOR_PDF_QUEUE=%s\nMARQOR_FILE_QUEUE=%s\nMARQOR_REFUSING_QUEUE=%s\n' \
    "$server" "$queue" "$file" "$refusing" | tee "$dir/env"
