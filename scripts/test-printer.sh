#!/usr/bin/env bash
# Sets up the print system the printing tests use: the CUPS scheduler, and a
# queue VandrelPDF on the cups-pdf back end, which writes each job as a PDF
# file (see /etc/cups/cups-pdf.conf, "Out": ~/PDF of the submitting user).
# Idempotent: a running scheduler and an existing queue are kept. Without
# root, or without CUPS, it says so and leaves the tests to skip.
set -euo pipefail

queue=VandrelPDF

if ! command -v lpstat >/dev/null || [ ! -x /usr/sbin/cupsd ]; then
  echo "test-printer: CUPS is not installed (scripts/install-deps.sh); printer tests will skip" >&2
  exit 0
fi

if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "test-printer: the CUPS scheduler is not running and only root may start it; printer tests will skip" >&2
    exit 0
  fi
  /usr/sbin/cupsd
  for _ in $(seq 50); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    sleep 0.2
  done
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    echo "test-printer: the CUPS scheduler did not start; printer tests will skip" >&2
    exit 0
  fi
fi

if ! lpstat -v "$queue" >/dev/null 2>&1; then
  ppd=$(lpinfo -m 2>/dev/null | awk 'tolower($0) ~ /cups-pdf/ { print $1; exit }')
  if [ -n "$ppd" ]; then
    lpadmin -p "$queue" -v cups-pdf:/ -m "$ppd"
  else
    lpadmin -p "$queue" -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  fi
fi
cupsenable "$queue"
cupsaccept "$queue"
echo "test-printer: queue $queue ready ($(lpstat -v "$queue"))"
