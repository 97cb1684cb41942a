#!/usr/bin/env python3
"""Hostile names end to end: an export file full of names a person might
type (or a program might garble) goes through horatab-export, and both
workbooks are opened with openpyxl, the independent reader.

usage: hostile_names.py HORATAB_EXPORT [--libreoffice]

Every name must come back in its cells exactly as text (a control character
as the reader returns it: in the spreadsheet's _xHHHH_ form; bytes that are
not UTF-8 as U+FFFD), no cell may be a formula, and every sheet title must
be valid and unique. With --libreoffice both workbooks are also converted
by LibreOffice (exit 77, skipped, without soffice), which decodes _xHHHH_
in sheet titles: it must keep every sheet, with the title written.
Exits with 1 on the first broken expectation.
"""

import os, re, shutil, subprocess, sys, tempfile, zipfile
import xml.etree.ElementTree as ElementTree

import openpyxl

FORBIDDEN_IN_TITLE = set(':\\/?*[]')

# Names as bytes (the file is UTF-8; some names deliberately are not).
TEACHERS = [
    b"Smith & Sons <b> \"Q\" 'A'", b"Tab\there", b"Carriage\rreturn", b"Line\nfeed", b"Bell\x07and\x01escape\x1b",
    b"Literal _x0041_ text", b"Caf\xc3\xa9 \xff\xc3\x28 garbled",
    b"Emoji \xf0\x9f\x98\x80\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x8f\xab teacher", b"Slash/colon:bracket[one]",
    b"Abcdefghijklmnopqrstuvwxyz01234-first-teacher", b"Abcdefghijklmnopqrstuvwxyz01234-second-teacher", b"",
    b"All teachers", b"all TEACHERS", b"\xc3\x89lan", b"\xc3\xa9lan", ("Long " + "x" * 295).encode(), b"'quoted'",
    # Titles a reader would decode into another, an invalid or a reserved name.
    b"_x0041_", b"A", b"_x0048_istory", b"HISTORY", b"_xD800_", b"_x0001_", b"_x0027_q_x003A_", b"_x005B_x_x005D_",
    "KIRMIZI".encode(), "k\u0131rm\u0131z\u0131".encode(), "\u039f\u0394\u038c\u03a3".encode(), "\u03bf\u03b4\u03cc\u03c2".encode(),
]
GROUPS = [
    b"=HYPERLINK(\"http://example.invalid\",\"click\")", b"1/A:[x]", b"+1", b"-2", b"@group", b"", b"All students",
    ("Group " + "\xc5\xbd" * 300).encode(), b"Tab\tgroup",
]
SUBJECTS = [b"=HYPERLINK(\"http://example.invalid\",\"x\")", b"=1+1", b"Math & <Physics>"]
ROOMS = [b"R\x01\x1f", b"Room \"7\"", b"\xf0\x9f\x98\x80"]


def attribute(name):
    """The name as an XML attribute value: markup escaped, control
    characters as character references; bytes that are not UTF-8 stay."""
    special = {ord("&"): b"&amp;", ord("<"): b"&lt;", ord(">"): b"&gt;", ord('"'): b"&quot;"}
    return b"".join(special.get(b, b"&#%d;" % b if b < 0x20 else bytes([b])) for b in name)


def write_input(path):
    out = [b'<?xml version="1.0" encoding="UTF-8"?>\n<Teachers_Timetable>\n']
    for t, teacher in enumerate(TEACHERS):
        out.append(b'<Teacher name="%s"><Day name="Mon&amp;day">' % attribute(teacher))
        group, subject, room = GROUPS[t % len(GROUPS)], SUBJECTS[t % len(SUBJECTS)], ROOMS[t % len(ROOMS)]
        # Teacher t teaches in hour t + 1, so no two teachers of a group
        # clash and every teacher's name shows on the group's sheet.
        out += [b'<Hour name="%d."/>' % (h + 1) for h in range(t)]
        out.append(b'<Hour name="%d. &lt;8:00&gt;"><Subject name="%s"/><Students name="%s"/><Room name="%s"/></Hour>'
                   % (t + 1, attribute(subject), attribute(group), attribute(room)))
        out.append(b"</Day></Teacher>\n")
    out.append(b"</Teachers_Timetable>\n")
    with open(path, "wb") as f:
        f.write(b"".join(out))


def shown(name):
    """How openpyxl shows a name written by the export: invalid UTF-8 as
    U+FFFD, and a control character other than tab, line feed and carriage
    return in the spreadsheet's _xHHHH_ form, which this reader does not
    decode (a spreadsheet program shows the character). A literal _xHHHH_
    in a name reads back as written."""
    text = name.decode("utf-8", errors="replace")
    return "".join("_x%04X_" % ord(c) if ord(c) < 0x20 and c not in "\t\n\r" else c for c in text)


problems = []


def expect(condition, message):
    if not condition:
        problems.append(message)


def check_titles(book, label):
    seen = {}
    for title in book.sheetnames:
        expect(title != "", "%s: empty sheet title" % label)
        expect(len(title.encode("utf-16-le")) // 2 <= 31, "%s: title longer than 31: %r" % (label, title))
        expect(not (FORBIDDEN_IN_TITLE & set(title)), "%s: forbidden character in %r" % (label, title))
        expect(not any(ord(c) < 0x20 for c in title), "%s: control character in %r" % (label, title))
        expect(not title.startswith("'") and not title.endswith("'"), "%s: apostrophe at an end of %r" % (label, title))
        key = title.casefold()
        expect(key not in seen, "%s: titles %r and %r are the same to a spreadsheet" % (label, seen.get(key), title))
        seen[key] = title


def cells(sheet):
    return [cell for row in sheet.iter_rows() for cell in row if cell.value is not None]


def check_workbook(path, label, summary_title, names, other_texts):
    book = openpyxl.load_workbook(path)
    check_titles(book, label)
    distinct = sorted(set(names))
    expect(len(book.sheetnames) == len(distinct) + 1,
           "%s: %d sheets for %d names" % (label, len(book.sheetnames), len(distinct)))
    expect(book.sheetnames[0] == summary_title, "%s: first sheet is %r" % (label, book.sheetnames[0]))

    summary = book[book.sheetnames[0]]
    column_a = sorted(summary.cell(row=r, column=1).value or "" for r in range(3, summary.max_row + 1))
    expected = sorted(shown(n) for n in distinct)
    expect(column_a == expected,
           "%s: names in the summary differ:\n  got      %r\n  expected %r" % (label, column_a, expected))

    texts = set()
    for sheet in book.worksheets:
        for cell in cells(sheet):
            expect(cell.data_type == "s", "%s: %s!%s is of type %r, not text: %r"
                   % (label, sheet.title, cell.coordinate, cell.data_type, cell.value))
            texts.add(cell.value)
    for text in filter(None, other_texts):
        expect(shown(text) in texts, "%s: %r is not shown exactly in any cell" % (label, shown(text)))


def decoded(title):
    """A title as a reader that decodes _xHHHH_ shows it."""
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), title)


def check_libreoffice(path, label, folder):
    """LibreOffice must keep every sheet, titled as written."""
    run = subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + folder + "/profile",
                          "--convert-to", "ods", "--outdir", folder, path], capture_output=True, timeout=600)
    ods = os.path.splitext(os.path.join(folder, os.path.basename(path)))[0] + ".ods"
    if run.returncode != 0 or not os.path.exists(ods):
        problems.append("%s: LibreOffice could not convert it: %r" % (label, run.stderr))
        return
    table = "{urn:oasis:names:tc:opendocument:xmlns:table:1.0}"
    content = ElementTree.fromstring(zipfile.ZipFile(ods).read("content.xml"))
    shown_titles = [t.get(table + "name") for t in content.iter(table + "table")]
    written = [decoded(t) for t in openpyxl.load_workbook(path).sheetnames]
    expect(shown_titles == written, "%s: LibreOffice shows the sheets\n  %r\nnot\n  %r" % (label, shown_titles, written))


def main():
    tool = sys.argv[1]
    libreoffice = sys.argv[2:] == ["--libreoffice"]
    if libreoffice and not shutil.which("soffice"):
        print("SKIP: soffice is not installed")
        return 77
    with tempfile.TemporaryDirectory(prefix="horatab-hostile-") as folder:
        source = os.path.join(folder, "hostile.xml")
        write_input(source)
        temp = os.path.join(folder, "tmp")
        os.mkdir(temp)
        teachers, students = os.path.join(folder, "teachers.xlsx"), os.path.join(folder, "students.xlsx")
        run = subprocess.run([tool, source, "-t", teachers, "-s", students], capture_output=True,
                             env=dict(os.environ, TMPDIR=temp))
        if run.returncode != 0:
            print("horatab-export failed with %d: %s" % (run.returncode, run.stderr.decode(errors="replace")))
            return 1
        expect(os.listdir(temp) == [], "temporary files left: %r" % os.listdir(temp))

        used_groups = [GROUPS[t % len(GROUPS)] for t in range(len(TEACHERS))]
        check_workbook(teachers, "teachers", "All teachers", TEACHERS, used_groups + SUBJECTS + ROOMS)
        check_workbook(students, "students", "All students", used_groups, TEACHERS + SUBJECTS + ROOMS)
        if libreoffice:
            check_libreoffice(teachers, "teachers", folder)
            check_libreoffice(students, "students", folder)
    if problems:
        print("\n".join(problems))
        return 1
    print("OK: %d teachers and %d groups shown exactly, titles valid and unique" % (len(TEACHERS), len(set(GROUPS))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
