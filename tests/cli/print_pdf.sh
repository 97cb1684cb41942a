#!/usr/bin/env bash
# The print-ready teachers' workbook of the bundled example, in alphabetical
# order, printed to PDF by LibreOffice: one landscape page per teacher sheet
# and one for the summary. Skips (77) where soffice or pdfinfo is missing.
#   print_pdf.sh HORATAB_EXPORT EXAMPLE.xml
set -euo pipefail
export_bin="$1"
example="$2"
command -v soffice >/dev/null && command -v pdfinfo >/dev/null || exit 77

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$export_bin" --print-ready --order alphabet -t "$work/teachers.xlsx" "$example" >/dev/null
teachers="$("$export_bin" --list teachers "$example" | wc -l)"
# A private profile: no first-start dialogs, no clash with a running office.
HOME="$work" timeout 300 soffice --headless "-env:UserInstallation=file://$work/profile" \
    --convert-to pdf --outdir "$work" "$work/teachers.xlsx" >/dev/null 2>&1
pages="$(pdfinfo "$work/teachers.pdf" | awk '/^Pages:/ {print $2}')"
if [ "$pages" != "$((teachers + 1))" ]; then
  echo "$pages pages for $teachers teachers and the summary" >&2
  exit 1
fi
portrait="$(pdfinfo -f 1 -l "$pages" "$work/teachers.pdf" |
  awk '/^Page +[0-9]+ size:/ { if ($4 < $6) n++ } END { print n + 0 }')"
if [ "$portrait" != 0 ]; then
  echo "$portrait portrait pages" >&2
  exit 1
fi
