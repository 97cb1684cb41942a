#!/usr/bin/env python3
"""Reads a saved .xlsx package back with independent tools and checks it.

usage: check_package.py PACKAGE EXPECTED.json

EXPECTED holds what the package must contain:
  {"sheets": [{"name": "Mon",
               "cells": {"A1": "text", "B1": 12.5, "C1": "=SUM(A1:B1)"},
               "merged": ["A1:C1"],
               "styles": {"A1": {"font": "Arial", "size": 14, "horizontal": "center"}}}]}
Every zip entry must be well-formed XML, every part must have a content
type, and every relationship target must exist in the package.
Prints the problems found and exits with 1, or prints OK and exits with 0.
"""

import json
import posixpath
import sys
import zipfile
import xml.dom.minidom

import openpyxl

NS_CT = "http://schemas.openxmlformats.org/package/2006/content-types"
NS_REL = "http://schemas.openxmlformats.org/package/2006/relationships"


def check_archive(path, problems):
    with zipfile.ZipFile(path) as archive:
        bad = archive.testzip()
        if bad is not None:
            problems.append("damaged entry %s" % bad)
        names = archive.namelist()
        documents = {}
        for name in names:
            try:
                documents[name] = xml.dom.minidom.parseString(archive.read(name))
            except Exception as error:  # any parse failure is a finding
                problems.append("%s is not well-formed XML: %s" % (name, error))
    if "[Content_Types].xml" in documents:
        check_content_types(documents["[Content_Types].xml"], names, problems)
    else:
        problems.append("no [Content_Types].xml")
    for name, document in documents.items():
        if name.endswith(".rels"):
            check_relationships(name, document, names, problems)


def check_content_types(document, names, problems):
    overrides = {e.getAttribute("PartName") for e in document.getElementsByTagNameNS(NS_CT, "Override")}
    defaults = {e.getAttribute("Extension").lower() for e in document.getElementsByTagNameNS(NS_CT, "Default")}
    for part in overrides:
        if part.lstrip("/") not in names:
            problems.append("content type for missing part %s" % part)
    for name in names:
        if name == "[Content_Types].xml":
            continue
        extension = name.rsplit(".", 1)[-1].lower()
        if "/" + name not in overrides and extension not in defaults:
            problems.append("no content type for %s" % name)


def check_relationships(name, document, names, problems):
    # "_rels/x.rels" describes "x"; targets are relative to x's folder.
    folder = posixpath.dirname(posixpath.dirname(name))
    for relationship in document.getElementsByTagNameNS(NS_REL, "Relationship"):
        if relationship.getAttribute("TargetMode") == "External":
            continue
        target = relationship.getAttribute("Target")
        resolved = target.lstrip("/") if target.startswith("/") else posixpath.normpath(posixpath.join(folder, target))
        if resolved not in names:
            problems.append("%s: target %s (%s) missing" % (name, target, resolved))


def same_value(actual, expected):
    if isinstance(expected, (int, float)) and not isinstance(expected, bool):
        return isinstance(actual, (int, float)) and abs(actual - expected) <= 1e-9 * max(1.0, abs(expected))
    return actual == expected


def check_sheets(path, expected_sheets, problems, sheets_count=None):
    workbook = openpyxl.load_workbook(path)
    names = [sheet["name"] for sheet in expected_sheets]
    if sheets_count is not None:
        # Only a sample of the sheets is listed: check the count and that they exist.
        if len(workbook.sheetnames) != sheets_count:
            problems.append("%d sheets, expected %d" % (len(workbook.sheetnames), sheets_count))
        missing = [name for name in names if name not in workbook.sheetnames]
        if missing:
            problems.append("sheets %r missing" % missing)
            return
    elif workbook.sheetnames != names:
        problems.append("sheet names %r, expected %r" % (workbook.sheetnames, names))
        return
    for expected in expected_sheets:
        sheet = workbook[expected["name"]]
        for ref, value in expected.get("cells", {}).items():
            actual = sheet[ref].value
            if not same_value(actual, value):
                problems.append("%s!%s is %r, expected %r" % (expected["name"], ref, actual, value))
        if "merged" in expected:
            merged = sorted(str(r) for r in sheet.merged_cells.ranges)
            if merged != sorted(expected["merged"]):
                problems.append("%s merged %r, expected %r" % (expected["name"], merged, expected["merged"]))
        for ref, style in expected.get("styles", {}).items():
            cell = sheet[ref]
            actual = {"font": cell.font.name, "size": cell.font.sz, "bold": bool(cell.font.b),
                      "horizontal": cell.alignment.horizontal, "vertical": cell.alignment.vertical,
                      "fill": cell.fill.fgColor.rgb if cell.fill.fill_type else None,
                      "format": cell.number_format}
            for key, value in style.items():
                if not same_value(actual[key], value):
                    problems.append("%s!%s %s is %r, expected %r" % (expected["name"], ref, key, actual[key], value))


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    package, expectations = sys.argv[1], sys.argv[2]
    with open(expectations, encoding="utf-8") as handle:
        expected = json.load(handle)
    problems = []
    try:
        check_archive(package, problems)
        check_sheets(package, expected.get("sheets", []), problems, expected.get("sheets_count"))
    except Exception as error:  # an unreadable package is a finding too
        problems.append("cannot read %s: %r" % (package, error))
    for problem in problems:
        print(problem)
    if problems:
        return 1
    print("OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
