#!/bin/sh
# A real CUPS queue for the printing tests, TelboraPDF: cups-pdf writes every
# printed document as a PDF file into /var/spool/cups-pdf/telbora. Run as
# root. The tests name this queue (PRINTER=TelboraPDF); the system's default
# printer and every other queue are left as they are.
set -e
EXTRA_PACKAGES="cups printer-driver-cups-pdf" sh "$(dirname "$0")/install-deps.sh"
out=/var/spool/cups-pdf/telbora
mkdir -p "$out"
chmod 1777 "$out"
conf=/etc/cups/cups-pdf.conf
if ! grep -q "^Out $out\$" "$conf"; then
  sed -i '/^Out /d' "$conf"
  echo "Out $out" >> "$conf"
fi
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  cupsd
  for i in $(seq 1 50); do lpstat -r 2>/dev/null | grep -q "is running" && break; sleep 0.2; done
fi
if ! lpstat -p TelboraPDF >/dev/null 2>&1; then
  lpadmin -p TelboraPDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
fi
cupsenable TelboraPDF 2>/dev/null || true
cupsaccept TelboraPDF 2>/dev/null || true
lpstat -p TelboraPDF
