#!/usr/bin/env python3
"""Reads an .xlsx workbook with openpyxl and prints what the tests compare.

usage: dump_workbook.py PACKAGE [SHEET_NUMBER ...]

With sheet numbers (counted from 0) the workbook is opened read-only and
only those sheets are printed, for large workbooks. Output, one record per
line, fields separated by tabs:
  STYLES  <number of cell formats in xl/styles.xml>
  SHEETS  <number of sheets>
  SHEET   <index> <name> <rows> <columns>
  CELL    <ref> <type> <font> <size> <horizontal> <vertical> <value>
Rows and columns count up to the last cell that holds a value. Backslashes,
tabs and line breaks in names and values are written as \\\\, \\t, \\n, \\r.
"""

import sys
import zipfile
import xml.etree.ElementTree as ElementTree

import openpyxl

NS_MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"


def escaped(value):
    text = "" if value is None else str(value)
    return (text.replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\n", "\\n").replace("\r", "\\r"))


def cell_style_count(path):
    with zipfile.ZipFile(path) as archive:
        styles = ElementTree.fromstring(archive.read("xl/styles.xml"))
    formats = styles.find(NS_MAIN + "cellXfs")
    return 0 if formats is None else len(formats.findall(NS_MAIN + "xf"))


def dump_sheet(index, sheet, out):
    if hasattr(sheet, "reset_dimensions"):
        # The streaming writer cannot know a sheet's extent up front and
        # declares "A1"; a read-only sheet would trust that.
        sheet.reset_dimensions()
    cells = []
    last_row = last_column = 0
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            last_row = max(last_row, cell.row)
            last_column = max(last_column, cell.column)
            cells.append(cell)
    out.append("SHEET\t%d\t%s\t%d\t%d" % (index, escaped(sheet.title), last_row, last_column))
    for cell in cells:
        font, alignment = cell.font, cell.alignment
        out.append("CELL\t%s\t%s\t%s\t%s\t%s\t%s\t%s" % (
            cell.coordinate, cell.data_type, escaped(font.name),
            escaped(font.sz if font.sz is None else int(font.sz)),
            escaped(alignment.horizontal), escaped(alignment.vertical), escaped(cell.value)))


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    path = sys.argv[1]
    wanted = [int(number) for number in sys.argv[2:]]
    workbook = openpyxl.load_workbook(path, read_only=bool(wanted))
    out = ["STYLES\t%d" % cell_style_count(path), "SHEETS\t%d" % len(workbook.sheetnames)]
    for index, name in enumerate(workbook.sheetnames):
        if not wanted or index in wanted:
            dump_sheet(index, workbook[name], out)
    sys.stdout.write("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
