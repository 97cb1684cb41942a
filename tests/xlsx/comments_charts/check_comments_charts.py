#!/usr/bin/env python3
"""Reads a saved .xlsx package back with openpyxl and checks its comments
and charts, on top of the package checks of check_package.py.

usage: check_comments_charts.py PACKAGE EXPECTED.json

EXPECTED may hold, besides the "sheets" of check_package.py:
  {"comments": {"Data": {"A1": {"text": "note", "author": "ann"}}},
   "chartsheets": [{"name": "Trend", "title": "Hours",
                    "plots": [{"type": "lineChart",
                               "series": [{"idx": 0, "title": "Mon",
                                           "cat": "'Data'!$A1:$A5",
                                           "val": "'Data'!$B1:$B5"}]}]}]}
A worksheet listed under "comments" must carry exactly the comments given.
For a scatter plot "cat" and "val" are the x and y value references.
Prints the problems found and exits with 1, or prints OK and exits with 0.
"""

import json
import os
import sys
import warnings

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

import openpyxl  # noqa: E402
import check_package  # noqa: E402


def reference(data):
    if data is None or data.numRef is None:
        return None
    return data.numRef.f


def series_facts(series):
    title = series.tx.v if series.tx is not None else None
    cat = reference(series.cat) if series.cat is not None else reference(series.xVal)
    val = reference(series.val) if series.val is not None else reference(series.yVal)
    return {"idx": series.idx, "title": title, "cat": cat, "val": val}


def title_text(title):
    if title is None or title.tx is None or title.tx.rich is None:
        return None
    return "".join(run.t for paragraph in title.tx.rich.p for run in (paragraph.r or []))


def check_comments(workbook, expected, problems):
    for sheet_name, cells in expected.items():
        sheet = workbook[sheet_name]
        found = {}
        # The cells read, not the whole grid: a comment may sit on the last cell.
        for cell in sheet._cells.values():
            if cell.comment is not None:
                found[cell.coordinate] = {"text": cell.comment.text, "author": cell.comment.author}
        if sorted(found) != sorted(cells):
            problems.append("%s comments on %r, expected %r" % (sheet_name, sorted(found), sorted(cells)))
            continue
        for ref, facts in cells.items():
            for key, value in facts.items():
                if found[ref][key] != value:
                    problems.append("%s!%s comment %s is %r, expected %r"
                                    % (sheet_name, ref, key, found[ref][key], value))


def check_chart(name, chart, expected, problems):
    if "title" in expected and title_text(chart.title) != expected["title"]:
        problems.append("%s title is %r, expected %r" % (name, title_text(chart.title), expected["title"]))
    plots = chart._charts
    if len(plots) != len(expected["plots"]):
        problems.append("%s has %d plots, expected %d" % (name, len(plots), len(expected["plots"])))
        return
    for plot, plot_expected in zip(plots, expected["plots"]):
        if plot.tagname != plot_expected["type"]:
            problems.append("%s plot %s, expected %s" % (name, plot.tagname, plot_expected["type"]))
        facts = [series_facts(s) for s in plot.series]
        if len(facts) != len(plot_expected["series"]):
            problems.append("%s %s has %d series, expected %d"
                            % (name, plot.tagname, len(facts), len(plot_expected["series"])))
            continue
        for actual, wanted in zip(facts, plot_expected["series"]):
            for key, value in wanted.items():
                if actual[key] != value:
                    problems.append("%s %s series %s is %r, expected %r"
                                    % (name, plot.tagname, key, actual[key], value))


def check_chartsheets(workbook, expected, problems):
    names = [sheet.title for sheet in workbook.chartsheets]
    if names != [chart["name"] for chart in expected]:
        problems.append("chartsheets %r, expected %r" % (names, [chart["name"] for chart in expected]))
        return
    for sheet, chart_expected in zip(workbook.chartsheets, expected):
        if len(sheet._charts) != 1:
            problems.append("%s holds %d charts, expected 1" % (sheet.title, len(sheet._charts)))
            continue
        check_chart(sheet.title, sheet._charts[0], chart_expected, problems)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    package, expectations = sys.argv[1], sys.argv[2]
    with open(expectations, encoding="utf-8") as handle:
        expected = json.load(handle)
    problems = []
    try:
        check_package.check_archive(package, problems)
        if "sheets" in expected:
            check_package.check_sheets(package, expected["sheets"], problems)
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            workbook = openpyxl.load_workbook(package)
        for warning in caught:
            problems.append("reader warning: %s" % warning.message)
        check_comments(workbook, expected.get("comments", {}), problems)
        if "chartsheets" in expected:
            check_chartsheets(workbook, expected["chartsheets"], problems)
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
