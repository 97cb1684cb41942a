#!/usr/bin/env python3
"""Hostile names through LibreOffice: an export file full of names a person
might type (or a program might garble) goes through horatab-export, and
LibreOffice, which decodes the spreadsheet's _xHHHH_ form in sheet titles as
the most used spreadsheet program does, converts both workbooks. It must
keep every sheet, with the title written. (That the names reach the cells
exactly, as text, under valid and unique titles, the hostile-names session
and the sheet-name tests check.)

usage: hostile_names.py HORATAB_EXPORT
Exits with 77 (skipped) without soffice, with 1 on a broken expectation.
"""

import os, re, shutil, subprocess, sys, tempfile, zipfile
import xml.etree.ElementTree as ElementTree

import openpyxl

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


def decoded(title):
    """A title as a reader that decodes _xHHHH_ shows it."""
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), title)


def check_libreoffice(path, label, folder, problems):
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
    if shown_titles != written:
        problems.append("%s: LibreOffice shows the sheets\n  %r\nnot\n  %r" % (label, shown_titles, written))


def main():
    tool = sys.argv[1]
    if not shutil.which("soffice"):
        print("SKIP: soffice is not installed")
        return 77
    problems = []
    with tempfile.TemporaryDirectory(prefix="horatab-hostile-") as folder:
        source = os.path.join(folder, "hostile.xml")
        write_input(source)
        teachers, students = os.path.join(folder, "teachers.xlsx"), os.path.join(folder, "students.xlsx")
        run = subprocess.run([tool, source, "-t", teachers, "-s", students], capture_output=True)
        if run.returncode != 0:
            print("horatab-export failed with %d: %s" % (run.returncode, run.stderr.decode(errors="replace")))
            return 1
        check_libreoffice(teachers, "teachers", folder, problems)
        check_libreoffice(students, "students", folder, problems)
    if problems:
        print("\n".join(problems))
        return 1
    print("OK: LibreOffice keeps every sheet of both workbooks, titled as written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
