#!/usr/bin/env bash
# Runs a command against a CUPS server of its own: a scheduler in a private folder, listening on a socket there,
# with one file-backed PDF printer KOV_PDF that writes each job to $KOV_CUPS_DIR/out.pdf. The system's printing
# service is never asked or touched, and the scheduler is stopped when the command ends.
#   tools/private-cups.sh COMMAND [ARGS...]
# The command sees CUPS_SERVER (the socket) and KOV_CUPS_DIR (the folder).
set -euo pipefail

if ! command -v cupsd >/dev/null || [ ! -x /usr/sbin/lpadmin ]; then
    echo "private-cups: cups is not installed (tools/install-deps.sh installs it)" >&2
    exit 1
fi

dir=$(mktemp -d /tmp/kov-cups.XXXXXX)
# The scheduler drops to user lp for its filters; they must reach the folder.
chmod 755 "$dir"
mkdir -p "$dir"/{spool,tmp,cache,state,log,ppd}
chmod 1777 "$dir/tmp"
socket="$dir/cups.sock"

cat >"$dir/cupsd.conf" <<CONF
Listen $socket
Browsing Off
DefaultAuthType None
WebInterface No
LogLevel warn
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
<Location />
  Order allow,deny
  Allow all
</Location>
CONF

{
    echo "ServerRoot $dir"
    echo "RequestRoot $dir/spool"
    echo "TempDir $dir/tmp"
    echo "CacheDir $dir/cache"
    echo "StateDir $dir/state"
    echo "AccessLog $dir/log/access_log"
    echo "ErrorLog $dir/log/error_log"
    echo "PageLog $dir/log/page_log"
    echo "Printcap $dir/printcap"
    echo "ServerBin /usr/lib/cups"
    echo "DataDir /usr/share/cups"
    echo "FileDevice Yes"
    if [ "$(id -u)" -eq 0 ]; then
        echo "User lp"
        echo "Group lp"
        echo "SystemGroup root"
    fi
} >"$dir/cups-files.conf"

/usr/sbin/cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" &
cupsd_pid=$!

stop() {
    kill -TERM "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
    rm -rf "$dir"
}
trap stop EXIT

export CUPS_SERVER="$socket"
export KOV_CUPS_DIR="$dir"
for _ in $(seq 1 100); do
    [ -S "$socket" ] && lpstat -r >/dev/null 2>&1 && break
    sleep 0.1
done
if ! lpstat -r >/dev/null 2>&1; then
    echo "private-cups: the scheduler did not start" >&2
    cat "$dir/log/error_log" >&2 2>/dev/null || true
    exit 1
fi
/usr/sbin/lpadmin -p KOV_PDF -E -v "file://$dir/out.pdf" -m lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd
/usr/sbin/lpadmin -d KOV_PDF

"$@"
