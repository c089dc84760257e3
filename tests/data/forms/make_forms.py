#!/usr/bin/python3
"""Writes the catalogue of tests/data/catalogue.csv in the other forms the
converter reads, each of which must convert to tests/data/catalogue.tle:

  quoted.csv       40 columns in another order, every value quoted, the
                   exponent fields and eccentricity written out in fixed
                   point with trailing zeros, catalogue numbers in digits
                   only, the name again as
                   TLE_LINE0 "0 NAME", a comment holding a comma, doubled
                   quotes and (in one record) a line break
  shuffled.csv     the needed columns in a shuffled order, no EPHEMERIS_TYPE,
                   extra columns between them, nothing quoted
  prefixed.csv     a header that begins OBJECT_NAME,OBJECT_ID but has an extra
                   column after them
  numbers.json     records of the 17 columns, numbers as JSON numbers with
                   the texts of the CSV file ("0" put before a leading
                   point, which JSON needs), catalogue numbers in digits
  strings.json     records of the 40 columns, every value a string

    /usr/bin/python3 tests/data/forms/make_forms.py    (rewrites the files)

Standard library only; the same bytes every run.
"""

import csv
import decimal
import io
import json
import pathlib
import random
import sys

HERE = pathlib.Path(__file__).resolve().parent
DATA = HERE.parent

# The wide catalogue form's 40 columns, in its order: the benchmark's list.
sys.path.insert(0, str(HERE.parents[2] / "bench"))
from other_forms import WIDE as WIDE_COLUMNS  # noqa: E402

# Decimals written out at least to these places in the wide form. The angles
# and the mean motion are placed in the TLE as their texts stand, so they keep
# the CSV file's texts.
DECIMALS = {"ECCENTRICITY": 8, "BSTAR": 14, "MEAN_MOTION_DOT": 8, "MEAN_MOTION_DDOT": 13}
NUMBERS = {
    "MEAN_MOTION", "ECCENTRICITY", "INCLINATION", "RA_OF_ASC_NODE", "ARG_OF_PERICENTER",
    "MEAN_ANOMALY", "EPHEMERIS_TYPE", "NORAD_CAT_ID", "ELEMENT_SET_NO", "REV_AT_EPOCH", "BSTAR",
    "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT",
}
LETTERS = "ABCDEFGHJKLMNPQRSTUVWXYZ"


def catalogue_value(text):
    """A catalogue number's value; the letter form A0000 is 100000."""
    if text[0].isalpha():
        return (10 + LETTERS.index(text[0])) * 10000 + int(text[1:])
    return int(text)


def written_out(text, places):
    """The decimal `text` in fixed point with at least `places` decimals, never rounded."""
    value = decimal.Decimal(text)
    exponent = value.as_tuple().exponent
    return format(value, "." + str(max(places, -exponent)) + "f")


def json_value(column, text):
    """The JSON text of a column: a number as the CSV file writes it, a string otherwise."""
    if column not in NUMBERS:
        return json.dumps(text)
    if column == "NORAD_CAT_ID":
        return str(catalogue_value(text))
    sign = "-" if text.startswith("-") else ""
    digits = text.lstrip("-")
    return sign + ("0" + digits if digits.startswith(".") else digits)


def wide_record(row, tle, index):
    """The 40 columns of one record as text."""
    record = {name: "" for name in WIDE_COLUMNS}
    for name, text in row.items():
        if name in DECIMALS:
            text = written_out(text, DECIMALS[name])
        elif name == "NORAD_CAT_ID":
            text = str(catalogue_value(text))
        record[name] = text
    record.update({
        "CCSDS_OMM_VERS": "2.0",
        "COMMENT": 'MADE FOR TESTS, WITH A COMMA AND "QUOTES"'
                   + ("\nAND A SECOND LINE" if index == 2 else ""),
        "CREATION_DATE": "2026-12-10T04:00:00",
        "ORIGINATOR": "TESTS",
        "CENTER_NAME": "EARTH",
        "REF_FRAME": "TEME",
        "TIME_SYSTEM": "UTC",
        "MEAN_ELEMENT_THEORY": "SGP4",
        "OBJECT_TYPE": "PAYLOAD",
        "RCS_SIZE": "LARGE",
        "COUNTRY_CODE": "US",
        "LAUNCH_DATE": "1958-03-17",
        "FILE": str(4000000 + index),
        "GP_ID": str(200000000 + index),
        "TLE_LINE0": "0 " + row["OBJECT_NAME"],
        "TLE_LINE1": tle[1],
        "TLE_LINE2": tle[2],
    })
    return record


def write(name, text):
    (HERE / name).write_bytes(text.encode("utf-8"))


def main():
    with open(DATA / "catalogue.csv", newline="") as f:
        rows = list(csv.DictReader(f))
    lines = (DATA / "catalogue.tle").read_bytes().decode().split("\r\n")
    entries = [lines[k:k + 3] for k in range(0, 3 * len(rows), 3)]
    names = list(rows[0].keys())

    out = io.StringIO()
    writer = csv.writer(out, quoting=csv.QUOTE_ALL, lineterminator="\r\n")
    writer.writerow(WIDE_COLUMNS)
    wide = [wide_record(row, entries[k], k) for k, row in enumerate(rows)]
    for record in wide:
        writer.writerow([record[name] for name in WIDE_COLUMNS])
    write("quoted.csv", out.getvalue())

    shuffled = [name for name in names if name != "EPHEMERIS_TYPE"]
    random.Random(20).shuffle(shuffled)
    shuffled[3:3] = ["RCS_SIZE"]
    shuffled[9:9] = ["DECAY_DATE"]
    shuffled.append("NOTE")
    extra = {"RCS_SIZE": "SMALL", "DECAY_DATE": "", "NOTE": "extra"}
    text = ",".join(shuffled) + "\n"
    for row in rows:
        text += ",".join(row.get(name, extra.get(name)) for name in shuffled) + "\n"
    write("shuffled.csv", text)

    prefixed = names[:2] + ["LAUNCH_DATE"] + names[2:]
    text = ",".join(prefixed) + "\r\n"
    for row in rows:
        text += ",".join(row.get(name, "1958-03-17") for name in prefixed) + "\r\n"
    write("prefixed.csv", text)

    records = []
    for row in rows:
        members = (f'    "{name}": {json_value(name, row[name])}' for name in names)
        records.append("  {\n" + ",\n".join(members) + "\n  }")
    write("numbers.json", "[\n" + ",\n".join(records) + "\n]\n")
    write("strings.json", json.dumps(wide, separators=(",", ":")) + "\n")


if __name__ == "__main__":
    main()
