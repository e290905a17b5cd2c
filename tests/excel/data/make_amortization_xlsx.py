#!/usr/bin/env python3
"""Writes amortization.xlsx: a loan paid off month by month in a table, as spreadsheet programs
other than the office write their workbooks (SpreadsheetML parts by hand, cached results in
every formula cell, structured references in a named expression).

Inputs: B1 principal, B2 annual rate, B3 extra payment each month. B4 is the regular payment.
The table "Schedule" (A8:C368) holds 360 months of payment and balance. The name PayoffMonth
finds the month the loan is paid off by looking the balance up in the table's column, and B5
shows it: the shape of workbooks from elsewhere that were seen to read stale after writes. The
table's columns find the month before by position in their own column.

With --detailed it writes amortization-detailed.xlsx instead: the table (A8:E368) splits each
month into opening balance, interest, payment and balance, so every balance is four formulas
deep in the month before. Calc 7.4 reads B5 stale after a write to B3 there, with automatic
calculation on: calculate() after the read leaves it so, and calculateAll() alone computes it
from the balances before the write; calculate() then calculateAll() gives the true value. It
reads the plain workbook fresh. The depth of the chain a read has to compute decides it, not
the table or the name: the same chain over plain references and a plain MATCH reads stale as
well, and a shorter schedule (under 269 months) reads fresh.

With --manual it writes amortization-manual.xlsx: the plain workbook saved with manual
calculation, as large models often are. The office then keeps every formula's result as it was
until something recalculates, so a program that writes inputs reads stale results.

With --minimum it writes amortization-minimum.xlsx: the detailed workbook, where the lender takes
an extra payment only from B6 = 250 a month up. B5 is then the same at every extra payment below
that as at none, whatever the rate: a scan that starts there reads the same value whether the
workbook is stale or not, so no comparison at its first points can tell a stale workbook from a
fresh one.

Run it from anywhere: python3 make_amortization_xlsx.py [--detailed | --manual | --minimum]
[output]. The same input gives the same bytes, so the committed workbooks can be checked against
a fresh run.
"""

import argparse
import zipfile
from pathlib import Path
from xml.sax.saxutils import escape

MONTHS = 360
FIRST_ROW = 9
LAST_ROW = FIRST_ROW + MONTHS - 1
PRINCIPAL = 200000.0
RATE = 0.05
EXTRA = 0.0
MINIMUM_EXTRA = 250.0

MAIN_NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL_NS = "http://schemas.openxmlformats.org/package/2006/relationships"
DOC_REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
XML_HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

STRINGS = ["Principal", "Annual rate", "Extra payment", "Payment", "Months to pay off",
           "Month", "Balance", "Opening", "Interest", "Smallest extra payment"]

COLUMNS = ["Month", "Payment", "Balance"]
DETAILED_COLUMNS = ["Month", "Opening", "Interest", "Payment", "Balance"]


def payment(principal, rate, months):
    monthly = rate / 12
    return principal * monthly / (1 - (1 + monthly) ** -months)


def schedule(principal, rate, extra):
    """Payment and balance of every month, computed the way the cells compute them."""
    regular = payment(principal, rate, MONTHS)
    rows = []
    balance = principal
    for _ in range(MONTHS):
        owed = balance * (1 + rate / 12)
        paid = min(owed, regular + extra)
        balance = owed - paid
        rows.append((paid, balance))
    return regular, rows


def payoff_month(rows):
    # MATCH(0.01; balances; -1) over a falling column: the last month still owing 0.01 or more.
    still_owed = [i for i, (_, balance) in enumerate(rows) if balance >= 0.01]
    return still_owed[-1] + 2


def number(value):
    return repr(float(value))


def string_cell(ref, text):
    return f'<c r="{ref}" t="s"><v>{STRINGS.index(text)}</v></c>'


def value_cell(ref, value):
    return f'<c r="{ref}"><v>{number(value)}</v></c>'


def formula_cell(ref, formula, cached):
    return f'<c r="{ref}"><f>{escape(formula)}</f><v>{number(cached)}</v></c>'


def row(index, cells):
    return f'<row r="{index}">{"".join(cells)}</row>'


def month_cells(r, opening, paid, balance, detailed, minimum):
    """The table's cells of one month, after the month number."""
    # Each month finds the balance before it by its position in the table's own column, as
    # table formulas written elsewhere do; the first month starts from the principal.
    previous = f"IF(ROW()={FIRST_ROW},$B$1,INDEX(Schedule[Balance],ROW()-{FIRST_ROW}))"
    if not detailed:
        return [
            formula_cell(f"B{r}", f"MIN({previous}*(1+$B$2/12),$B$4+$B$3)", paid),
            formula_cell(f"C{r}", f"{previous}*(1+$B$2/12)-Schedule[[#This Row],[Payment]]",
                         balance),
        ]
    this = {name: f"Schedule[[#This Row],[{name}]]" for name in DETAILED_COLUMNS}
    extra = "IF($B$3>=$B$6,$B$3,0)" if minimum else "$B$3"
    return [
        formula_cell(f"B{r}", previous, opening),
        formula_cell(f"C{r}", f"{this['Opening']}*$B$2/12", opening * RATE / 12),
        formula_cell(f"D{r}", f"MIN({this['Opening']}+{this['Interest']},$B$4+{extra})", paid),
        formula_cell(f"E{r}", f"{this['Opening']}+{this['Interest']}-{this['Payment']}",
                     balance),
    ]


def sheet_xml(detailed, minimum):
    regular, rows = schedule(PRINCIPAL, RATE, EXTRA)
    columns = DETAILED_COLUMNS if detailed else COLUMNS
    last_column = chr(ord("A") + len(columns) - 1)
    lines = [
        row(1, [string_cell("A1", "Principal"), value_cell("B1", PRINCIPAL)]),
        row(2, [string_cell("A2", "Annual rate"), value_cell("B2", RATE)]),
        row(3, [string_cell("A3", "Extra payment"), value_cell("B3", EXTRA)]),
        row(4, [string_cell("A4", "Payment"),
                formula_cell("B4", f"PMT(B2/12,{MONTHS},-B1)", regular)]),
        row(5, [string_cell("A5", "Months to pay off"),
                formula_cell("B5", "PayoffMonth", payoff_month(rows))]),
    ] + ([row(6, [string_cell("A6", "Smallest extra payment"), value_cell("B6", MINIMUM_EXTRA)])]
         if minimum else []) + [
        row(8, [string_cell(f"{chr(ord('A') + i)}8", name) for i, name in enumerate(columns)]),
    ]
    opening = PRINCIPAL
    for i, (paid, balance) in enumerate(rows):
        r = FIRST_ROW + i
        lines.append(row(r, [value_cell(f"A{r}", i + 1)] +
                         month_cells(r, opening, paid, balance, detailed, minimum)))
        opening = balance
    return (XML_HEAD +
            f'<worksheet xmlns="{MAIN_NS}" xmlns:r="{REL_NS}">'
            f'<dimension ref="A1:{last_column}{LAST_ROW}"/>'
            '<sheetViews><sheetView workbookViewId="0"/></sheetViews>'
            '<sheetFormatPr defaultRowHeight="15"/>'
            f'<sheetData>{"".join(lines)}</sheetData>'
            '<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" '
            'footer="0.3"/>'
            '<tableParts count="1"><tablePart r:id="rId1"/></tableParts>'
            '</worksheet>')


def table_xml(detailed):
    names = DETAILED_COLUMNS if detailed else COLUMNS
    ref = f"A8:{chr(ord('A') + len(names) - 1)}{LAST_ROW}"
    columns = "".join(f'<tableColumn id="{i + 1}" name="{name}"/>'
                      for i, name in enumerate(names))
    return (XML_HEAD +
            f'<table xmlns="{MAIN_NS}" id="1" name="Schedule" displayName="Schedule" '
            f'ref="{ref}" totalsRowShown="0">'
            f'<autoFilter ref="{ref}"/>'
            f'<tableColumns count="{len(names)}">{columns}</tableColumns>'
            '<tableStyleInfo name="TableStyleMedium2" showFirstColumn="0" showLastColumn="0" '
            'showRowStripes="1" showColumnStripes="0"/>'
            '</table>')


def workbook_xml(manual):
    mode = ' calcMode="manual"' if manual else ""
    name = "INDEX(Schedule[Month],MATCH(0.01,Schedule[Balance],-1))+1"
    return (XML_HEAD +
            f'<workbook xmlns="{MAIN_NS}" xmlns:r="{REL_NS}">'
            '<bookViews><workbookView xWindow="0" yWindow="0" windowWidth="16000" '
            'windowHeight="9000"/></bookViews>'
            '<sheets><sheet name="Loan" sheetId="1" r:id="rId1"/></sheets>'
            f'<definedNames><definedName name="PayoffMonth">{escape(name)}</definedName>'
            '</definedNames>'
            f'<calcPr calcId="191029"{mode}/>'
            '</workbook>')


def shared_strings_xml():
    items = "".join(f"<si><t>{escape(text)}</t></si>" for text in STRINGS)
    return (XML_HEAD + f'<sst xmlns="{MAIN_NS}" count="{len(STRINGS)}" '
            f'uniqueCount="{len(STRINGS)}">{items}</sst>')


def styles_xml():
    return (XML_HEAD +
            f'<styleSheet xmlns="{MAIN_NS}">'
            '<fonts count="1"><font><sz val="11"/><name val="Calibri"/><family val="2"/></font>'
            '</fonts>'
            '<fills count="2"><fill><patternFill patternType="none"/></fill>'
            '<fill><patternFill patternType="gray125"/></fill></fills>'
            '<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border>'
            '</borders>'
            '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/>'
            '</cellStyleXfs>'
            '<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
            '</cellXfs>'
            '<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>'
            '</styleSheet>')


def relationships(entries):
    items = "".join(f'<Relationship Id="{rid}" Type="{DOC_REL}/{kind}" Target="{target}"/>'
                    for rid, kind, target in entries)
    return XML_HEAD + f'<Relationships xmlns="{PKG_REL_NS}">{items}</Relationships>'


def content_types_xml():
    sheet_ml = "application/vnd.openxmlformats-officedocument.spreadsheetml"
    overrides = [
        ("/xl/workbook.xml", f"{sheet_ml}.sheet.main+xml"),
        ("/xl/worksheets/sheet1.xml", f"{sheet_ml}.worksheet+xml"),
        ("/xl/tables/table1.xml", f"{sheet_ml}.table+xml"),
        ("/xl/sharedStrings.xml", f"{sheet_ml}.sharedStrings+xml"),
        ("/xl/styles.xml", f"{sheet_ml}.styles+xml"),
    ]
    items = "".join(f'<Override PartName="{part}" ContentType="{kind}"/>'
                    for part, kind in overrides)
    return (XML_HEAD +
            '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="rels" '
            'ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
            '<Default Extension="xml" ContentType="application/xml"/>'
            f'{items}</Types>')


def parts(detailed, manual, minimum):
    return [
        ("[Content_Types].xml", content_types_xml()),
        ("_rels/.rels", relationships([("rId1", "officeDocument", "xl/workbook.xml")])),
        ("xl/workbook.xml", workbook_xml(manual)),
        ("xl/_rels/workbook.xml.rels", relationships([
            ("rId1", "worksheet", "worksheets/sheet1.xml"),
            ("rId2", "styles", "styles.xml"),
            ("rId3", "sharedStrings", "sharedStrings.xml"),
        ])),
        ("xl/worksheets/sheet1.xml", sheet_xml(detailed, minimum)),
        ("xl/worksheets/_rels/sheet1.xml.rels",
         relationships([("rId1", "table", "../tables/table1.xml")])),
        ("xl/tables/table1.xml", table_xml(detailed)),
        ("xl/sharedStrings.xml", shared_strings_xml()),
        ("xl/styles.xml", styles_xml()),
    ]


def main():
    arguments = argparse.ArgumentParser(description="Writes an amortization test workbook.")
    shape = arguments.add_mutually_exclusive_group()
    shape.add_argument("--detailed", action="store_true", help="four formulas a month")
    shape.add_argument("--manual", action="store_true", help="save with manual calculation")
    shape.add_argument("--minimum", action="store_true",
                       help="four formulas a month, extra payments only from a minimum up")
    arguments.add_argument("output", nargs="?", type=Path)
    options = arguments.parse_args()
    default = ("amortization-detailed.xlsx" if options.detailed else
               "amortization-manual.xlsx" if options.manual else
               "amortization-minimum.xlsx" if options.minimum else "amortization.xlsx")
    out = options.output or Path(__file__).with_name(default)
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as archive:
        detailed = options.detailed or options.minimum
        for name, text in parts(detailed, options.manual, options.minimum):
            info = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, text.encode("utf-8"))


if __name__ == "__main__":
    main()
