"""Opens a workbook with openpyxl in read-only mode and checks it.

    check_workbook.py bench FILE ROWS COLS KIND   every cell of the benchmark sheet
    check_workbook.py opens FILE                  every sheet can be read through

Exits with status 1 and a message on the first difference.
"""
import sys

import openpyxl

GROUPS = [f"{year}{letter}" for year in "1234" for letter in "ABCDE"]
SUBJECTS = ["Math", "Physics", "Chemistry", "Biology", "History",
            "Geography", "Music", "Art", "PE", "English"]
POOL = [GROUPS[i % 20] + " / " + SUBJECTS[i // 20] for i in range(200)]


def expected(r, c, kind):
    if kind == "text" or (kind == "mixed" and (r + c) % 2 == 0):
        return POOL[(r * 31 + c * 17) % 200]
    # The writer keeps 6 significant digits, as the stream's default
    # precision does: 10000.75 is stored as 10000.8.
    return float(f"{((r * 7 + c * 13) % 100000) / 4.0:.6g}")


def check_bench(path, rows, cols, kind):
    book = openpyxl.load_workbook(path, read_only=True)
    sheet = book.worksheets[0]
    seen = 0
    for r, row in enumerate(sheet.iter_rows(values_only=True)):
        if len(row) != cols:
            sys.exit(f"{path}: row {r + 1} has {len(row)} cells, not {cols}")
        for c, value in enumerate(row):
            want = expected(r, c, kind)
            if value != want:
                sys.exit(f"{path}: cell ({r}, {c}) is {value!r}, not {want!r}")
        seen += 1
    if seen != rows:
        sys.exit(f"{path}: {seen} rows, not {rows}")
    book.close()
    print(f"openpyxl read {path}: {rows} x {cols} cells as written")


def check_opens(path):
    book = openpyxl.load_workbook(path, read_only=True)
    cells = 0
    for sheet in book.worksheets:
        for row in sheet.iter_rows(values_only=True):
            cells += len(row)
    print(f"openpyxl read {path}: {len(book.worksheets)} sheets, {cells} cells")
    book.close()


def main(argv):
    if len(argv) == 6 and argv[1] == "bench":
        check_bench(argv[2], int(argv[3]), int(argv[4]), argv[5])
    elif len(argv) == 3 and argv[1] == "opens":
        check_opens(argv[2])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
