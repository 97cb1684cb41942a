#!/usr/bin/env python3
"""usage: dump_workbook.py PACKAGE [SHEET_NUMBER ...]

Prints the workbook as openpyxl reads it: "STYLES", "SHEETS", "FONTS" (each
distinct "font size horizontal vertical" of the cells), then per sheet
"SHEET name" and its rows, each "|" and the cells up to the last value,
tab-separated; a cell that is not text as "<type>:<value>". Sheet numbers
(from 0) read only those sheets, read-only."""

import sys
import zipfile
import xml.etree.ElementTree as ElementTree

import openpyxl


def escaped(value):
    return str(value).replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def main():
    path, wanted = sys.argv[1], [int(n) for n in sys.argv[2:]]
    with zipfile.ZipFile(path) as archive:
        styles = ElementTree.fromstring(archive.read("xl/styles.xml"))
    main_ns = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
    workbook = openpyxl.load_workbook(path, read_only=bool(wanted))
    out, fonts = [], set()
    for index, name in enumerate(workbook.sheetnames):
        if wanted and index not in wanted:
            continue
        sheet = workbook[name]
        rows = []
        for row in sheet.iter_rows(min_row=1, min_col=1):
            cells = [cell for cell in row if cell.value is not None]
            for cell in cells:
                fonts.add("%s %s %s %s" % (cell.font.name, cell.font.sz and int(cell.font.sz), cell.alignment.horizontal,
                                           cell.alignment.vertical))
            last = max([cell.column for cell in cells], default=0)
            values = {cell.column: ("" if cell.data_type == "s" else cell.data_type + ":") + escaped(cell.value)
                      for cell in cells}
            rows.append("|" + "\t".join(values.get(column, "") for column in range(1, last + 1)))
        while rows and rows[-1] == "|":
            rows.pop()
        out += ["SHEET\t" + escaped(name)] + rows
    header = ["STYLES\t%d" % len(styles.find(main_ns + "cellXfs")), "SHEETS\t%d" % len(workbook.sheetnames),
              "FONTS\t" + "; ".join(sorted(fonts))]
    sys.stdout.write("\n".join(header + out) + "\n")


main()
