#!/usr/bin/python3
"""Writes data/KOV.XLS, the blank Excel data sheet shipped beside KOV.

The installer types the measured 1/3-octave levels into it and imports it into a masking channel with the "Excel"
button of the masking window. The import reads the first sheet only: tests 1 to 10 in columns B to K, the bands
160 Hz to 8000 Hz in rows 9 to 26. It takes a column only when all eighteen of its cells hold a level above 0 and
below 100 dB, so a column left empty, or filled in part, is skipped and the columns that are taken close up
without gaps. Everything else on the sheet (headings, the project lines, the band names in column A) is for the
person filling it in.

    /usr/bin/python3 tools/data/make_kov_xls.py                 writes data/KOV.XLS
    /usr/bin/python3 tools/data/make_kov_xls.py --fill PATH     the same sheet with tests 1 to 6 filled in, for
                                                                the import test (tests/fixtures/meters/kov_filled.xls)

Needs Debian's python3-xlwt, so run it with Debian's own python3 rather than one earlier on PATH.
"""

import argparse
import os

import xlwt

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

BANDS = [160, 200, 250, 315, 400, 500, 630, 800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000]
TESTS = 10

# 1-based, as the sheet names them.
FIRST_BAND_ROW = 9    # 160 Hz; 8000 Hz is row 26
FIRST_TEST_COLUMN = 2  # B = test 1; K = test 10
HEADING_ROW = FIRST_BAND_ROW - 1
LABEL_COLUMN = 1

FILLED_TESTS = 6


def filled_level(test, band):
    """Test `test` (1 = column B), band index `band` (0 = 160 Hz): a spectrum falling 1.5 dB a band."""
    return round(58.0 - 1.5 * band + 0.7 * (test - 1), 1)


def style(bold=False, height=None, border=False, align=None, number=None, shade=False, wrap=False):
    s = xlwt.XFStyle()
    s.font.name = "Arial"
    s.font.bold = bold
    s.font.height = height or 200  # twentieths of a point: 10 pt
    if border:
        b = xlwt.Borders()
        b.left = b.right = b.top = b.bottom = xlwt.Borders.THIN
        s.borders = b
    if align is not None:
        s.alignment.horz = align
    s.alignment.vert = xlwt.Alignment.VERT_CENTER
    s.alignment.wrap = 1 if wrap else 0
    if number is not None:
        s.num_format_str = number
    if shade:
        p = xlwt.Pattern()
        p.pattern = xlwt.Pattern.SOLID_PATTERN
        p.pattern_fore_colour = 0x16  # the palette's light grey
        s.pattern = p
    return s


def put(sheet, row, column, value, st):
    sheet.write(row - 1, column - 1, value, st)


def write_sheet(path, fill):
    book = xlwt.Workbook()
    sheet = book.add_sheet("Tests")
    title = style(bold=True, height=280)
    note = style()
    label = style(bold=True, shade=True, border=True)
    entry = style(border=True)
    band = style(bold=True, shade=True, border=True, align=xlwt.Alignment.HORZ_RIGHT)
    heading = style(bold=True, shade=True, border=True, align=xlwt.Alignment.HORZ_CENTER)
    level = style(border=True, number="0.0", align=xlwt.Alignment.HORZ_CENTER)

    put(sheet, 1, 1, "KOV sound masking tests", title)
    put(sheet, 2, 1, "One column for each test: the level in dB of each 1/3-octave band. KOV imports a column "
                     "when all 18 levels are filled in, each above 0 and below 100 dB.", note)
    # The project lines sit above the grid, out of the cells the import reads.
    for row, (left, right) in enumerate([("Project", "Date"), ("Generator", "Channel"), ("Meter", "Measured by")],
                                        start=3):
        put(sheet, row, 1, left, label)
        sheet.write_merge(row - 1, row - 1, 1, 5, "", entry)
        sheet.write_merge(row - 1, row - 1, 6, 7, right, label)
        sheet.write_merge(row - 1, row - 1, 8, 10, "", entry)
    put(sheet, 7, 1, "Measured levels, dB", style(bold=True, height=240))

    put(sheet, HEADING_ROW, LABEL_COLUMN, "Band", band)
    for t in range(1, TESTS + 1):
        put(sheet, HEADING_ROW, FIRST_TEST_COLUMN + t - 1, "Test %d" % t, heading)
    for b, hz in enumerate(BANDS):
        row = FIRST_BAND_ROW + b
        put(sheet, row, LABEL_COLUMN, "%d Hz" % hz, band)
        for t in range(1, TESTS + 1):
            value = filled_level(t, b) if fill and t <= FILLED_TESTS else ""
            put(sheet, row, FIRST_TEST_COLUMN + t - 1, value, level)

    sheet.col(0).width = 256 * 12
    for c in range(1, TESTS + 1):
        sheet.col(c).width = 256 * 9
    book.save(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--fill", metavar="PATH", help="write the sheet with tests 1 to %d filled in to PATH"
                        % FILLED_TESTS)
    args = parser.parse_args()
    if args.fill:
        write_sheet(args.fill, fill=True)
    else:
        write_sheet(os.path.join(TOP, "data", "KOV.XLS"), fill=False)


if __name__ == "__main__":
    main()
