#!/usr/bin/env python3
"""The independent reader of the tests: reads a saved .xlsx package back with
openpyxl and zipfile.

usage: read_workbook.py dump PACKAGE [SHEET_NUMBER ...]
       read_workbook.py check PACKAGE EXPECTED.json

dump prints the workbook as openpyxl reads it: "STYLES", "SHEETS", "FONTS"
(each distinct "font size horizontal vertical" of the cells), then per sheet
"SHEET name" and its rows, each "|" and the cells up to the last value,
tab-separated; a cell that is not text as "<type>:<value>". Sheet numbers
(from 0) read only those sheets, read-only.

check compares the package with EXPECTED, which may hold "sheets" (name,
cells, merged, styles, widths, heights, print; with "sheets_count" only a
sample), "comments" per
sheet and cell, and "chartsheets" (name, title, plots with their series'
idx, title, cat and val). Every entry must be well-formed XML with a content
type, every relationship target must exist, and the reader must not warn.
Prints the problems or OK; exits with 1 or 0."""

import json, posixpath, sys, warnings, xml.dom.minidom, zipfile
import xml.etree.ElementTree as ElementTree

import openpyxl

def escaped(value):
    return str(value).replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")


def dump(path, wanted):
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
    return 0


NS_CT = "http://schemas.openxmlformats.org/package/2006/content-types"
NS_REL = "http://schemas.openxmlformats.org/package/2006/relationships"


def check_archive(path, problems):
    with zipfile.ZipFile(path) as archive:
        problems += ["damaged entry %s" % archive.testzip()] if archive.testzip() else []
        names = archive.namelist()
        docs = {}
        for name in names:
            try:
                docs[name] = xml.dom.minidom.parseString(archive.read(name))
            except Exception as error:  # any parse failure is a finding
                problems.append("%s is not well-formed XML: %s" % (name, error))
    types = docs.get("[Content_Types].xml")
    if types is None:
        return problems.append("no [Content_Types].xml")
    overrides = {e.getAttribute("PartName") for e in types.getElementsByTagNameNS(NS_CT, "Override")}
    defaults = {e.getAttribute("Extension").lower() for e in types.getElementsByTagNameNS(NS_CT, "Default")}
    problems += ["content type for missing part %s" % p for p in overrides if p.lstrip("/") not in names]
    problems += ["no content type for %s" % n for n in names if n != "[Content_Types].xml"
                 and "/" + n not in overrides and n.rsplit(".", 1)[-1].lower() not in defaults]
    for name, doc in docs.items():
        if name.endswith(".rels"):
            folder = posixpath.dirname(posixpath.dirname(name))  # "_rels/x.rels" describes "x"
            for rel in doc.getElementsByTagNameNS(NS_REL, "Relationship"):
                target = rel.getAttribute("Target")
                if (target.lstrip("/") if target.startswith("/") else posixpath.normpath(posixpath.join(folder, target))) \
                        not in names:
                    problems.append("%s: target %s missing" % (name, target))


def same(actual, expected):
    if isinstance(expected, (int, float)) and not isinstance(expected, bool):
        return isinstance(actual, (int, float)) and abs(actual - expected) <= 1e-9 * max(1.0, abs(expected))
    return actual == expected


def compare(what, actual, expected, problems):
    for key, value in expected.items():
        if not same(actual.get(key), value):
            problems.append("%s %s is %r, expected %r" % (what, key, actual.get(key), value))


def check_sheets(book, expected, count, problems):
    names = [sheet["name"] for sheet in expected]
    if count is not None and len(book.sheetnames) != count:
        problems.append("%d sheets, expected %d" % (len(book.sheetnames), count))
    if (count is None and book.sheetnames != names) or not set(names) <= set(book.sheetnames):
        return problems.append("sheet names %r, expected %r" % (book.sheetnames, names))
    for wanted in expected:
        sheet = book[wanted["name"]]
        compare(wanted["name"], {ref: sheet[ref].value for ref in wanted.get("cells", {})},
                wanted.get("cells", {}), problems)
        if "merged" in wanted and sorted(map(str, sheet.merged_cells.ranges)) != sorted(wanted["merged"]):
            problems.append("%s merged %r" % (wanted["name"], sheet.merged_cells.ranges))
        for ref, style in wanted.get("styles", {}).items():
            c = sheet[ref]
            compare("%s!%s" % (wanted["name"], ref),
                    {"font": c.font.name, "size": c.font.sz, "bold": bool(c.font.b), "format": c.number_format,
                     "horizontal": c.alignment.horizontal, "vertical": c.alignment.vertical,
                     "fill": c.fill.fgColor.rgb if c.fill.fill_type else None, "wrap": bool(c.alignment.wrap_text),
                     "border": [c.border.left.style, c.border.right.style, c.border.top.style, c.border.bottom.style]},
                    style, problems)
        compare(wanted["name"] + " width", {col: sheet.column_dimensions[col].width for col in wanted.get("widths", {})},
                wanted.get("widths", {}), problems)
        compare(wanted["name"] + " height", {row: sheet.row_dimensions[int(row)].height
                                             for row in wanted.get("heights", {})}, wanted.get("heights", {}), problems)
        if "print" in wanted:
            compare(wanted["name"] + " print", print_facts(sheet), wanted["print"], problems)


def print_facts(sheet):
    setup, options, margins = sheet.page_setup, sheet.print_options, sheet.page_margins
    return {"orientation": setup.orientation, "paperSize": setup.paperSize and int(setup.paperSize),
            "fitToPage": bool(sheet.sheet_properties.pageSetUpPr and sheet.sheet_properties.pageSetUpPr.fitToPage),
            "fitToWidth": setup.fitToWidth and int(setup.fitToWidth),
            "fitToHeight": setup.fitToHeight and int(setup.fitToHeight),
            "margins": [margins.left, margins.right, margins.top, margins.bottom, margins.header, margins.footer],
            "centered": [bool(options.horizontalCentered), bool(options.verticalCentered)],
            "gridLines": bool(options.gridLines), "frozen": sheet.freeze_panes,
            "header": [sheet.oddHeader.left.text, sheet.oddHeader.center.text, sheet.oddHeader.right.text],
            "footer": [sheet.oddFooter.left.text, sheet.oddFooter.center.text, sheet.oddFooter.right.text],
            "titleRows": sheet.print_title_rows, "titleCols": sheet.print_title_cols}


def check_comments(book, expected, problems):
    for name, cells in expected.items():
        # The cells read, not the whole grid: a comment may sit on the last cell.
        found = {c.coordinate: {"text": c.comment.text, "author": c.comment.author}
                 for c in book[name]._cells.values() if c.comment is not None}
        if sorted(found) != sorted(cells):
            problems.append("%s comments on %r, expected %r" % (name, sorted(found), sorted(cells)))
            continue
        for ref, facts in cells.items():
            compare("%s!%s comment" % (name, ref), found[ref], facts, problems)


def reference(data):
    return data.numRef.f if data is not None and data.numRef is not None else None


def check_chartsheets(book, expected, problems):
    names = [sheet.title for sheet in book.chartsheets]
    if names != [chart["name"] for chart in expected]:
        return problems.append("chartsheets %r" % names)
    for sheet, wanted in zip(book.chartsheets, expected):
        chart = sheet._charts[0]
        title = chart.title
        text = "".join(r.t for p in title.tx.rich.p for r in (p.r or [])) if title and title.tx.rich else None
        compare(sheet.title, {"title": text}, {k: v for k, v in wanted.items() if k == "title"}, problems)
        plots = [(plot.tagname, plot.series) for plot in chart._charts]
        if [p[0] for p in plots] != [p["type"] for p in wanted["plots"]]:
            problems.append("%s plots %r" % (sheet.title, [p[0] for p in plots]))
            continue
        for (kind, series), plot in zip(plots, wanted["plots"]):
            if len(series) != len(plot["series"]):
                problems.append("%s %s has %d series" % (sheet.title, kind, len(series)))
                continue
            for s, facts in zip(series, plot["series"]):
                compare("%s %s series" % (sheet.title, kind),
                        {"idx": s.idx, "title": s.tx.v if s.tx is not None else None,
                         "cat": reference(s.cat) if s.cat is not None else reference(s.xVal),
                         "val": reference(s.val) if s.val is not None else reference(s.yVal)}, facts, problems)


def check(path, expected_path):
    with open(expected_path, encoding="utf-8") as handle:
        expected = json.load(handle)
    problems = []
    try:
        check_archive(path, problems)
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            book = openpyxl.load_workbook(path)
        problems += ["reader warning: %s" % w.message for w in caught]
        if "sheets" in expected:
            check_sheets(book, expected["sheets"], expected.get("sheets_count"), problems)
        check_comments(book, expected.get("comments", {}), problems)
        if "chartsheets" in expected:
            check_chartsheets(book, expected["chartsheets"], problems)
    except Exception as error:  # an unreadable package is a finding too
        problems.append("cannot read %s: %r" % (path, error))
    print("\n".join(problems) if problems else "OK")
    return 1 if problems else 0


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "dump":
        return dump(sys.argv[2], [int(n) for n in sys.argv[3:]])
    if len(sys.argv) == 4 and sys.argv[1] == "check":
        return check(sys.argv[2], sys.argv[3])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
