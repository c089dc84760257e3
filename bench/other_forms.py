#!/usr/bin/python3
"""Rewrites a 17-column CSV element-set file (such as generate_rows.py writes)
in another form the converter reads, streaming, the same texts in each:

    /usr/bin/python3 bench/other_forms.py --form quoted < rows.csv > rows-quoted.csv
    /usr/bin/python3 bench/other_forms.py --form json < rows.csv > rows.json

  quoted   the 40 columns of the wide catalogue form in its order, every value
           in double quotes, the name again as TLE_LINE0 "0 NAME"
  json     an array of records of the 17 columns, one a line, numbers as
           JSON numbers ("0" put before a leading point, which JSON needs)

Each converts to the same TLE file as the input. Standard library only.
"""

import argparse
import json
import sys

WIDE = [
    "CCSDS_OMM_VERS", "COMMENT", "CREATION_DATE", "ORIGINATOR", "OBJECT_NAME", "OBJECT_ID",
    "CENTER_NAME", "REF_FRAME", "TIME_SYSTEM", "MEAN_ELEMENT_THEORY", "EPOCH", "MEAN_MOTION",
    "ECCENTRICITY", "INCLINATION", "RA_OF_ASC_NODE", "ARG_OF_PERICENTER", "MEAN_ANOMALY",
    "EPHEMERIS_TYPE", "CLASSIFICATION_TYPE", "NORAD_CAT_ID", "ELEMENT_SET_NO", "REV_AT_EPOCH",
    "BSTAR", "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT", "SEMIMAJOR_AXIS", "PERIOD", "APOAPSIS",
    "PERIAPSIS", "OBJECT_TYPE", "RCS_SIZE", "COUNTRY_CODE", "LAUNCH_DATE", "SITE", "DECAY_DATE",
    "FILE", "GP_ID", "TLE_LINE0", "TLE_LINE1", "TLE_LINE2",
]
STRINGS = {"OBJECT_NAME", "OBJECT_ID", "EPOCH", "CLASSIFICATION_TYPE"}
FILLER = {
    "CCSDS_OMM_VERS": "2.0", "COMMENT": "GENERATED FOR THE BENCHMARK",
    "CREATION_DATE": "2026-12-10T04:00:00", "ORIGINATOR": "BENCH", "CENTER_NAME": "EARTH",
    "REF_FRAME": "TEME", "TIME_SYSTEM": "UTC", "MEAN_ELEMENT_THEORY": "SGP4",
    "SEMIMAJOR_AXIS": "6795.900", "PERIOD": "92.926", "APOAPSIS": "431.518",
    "PERIAPSIS": "403.212", "OBJECT_TYPE": "PAYLOAD", "RCS_SIZE": "LARGE", "COUNTRY_CODE": "US",
    "LAUNCH_DATE": "1998-11-20", "SITE": "TYMSC", "DECAY_DATE": "", "FILE": "4123456",
    "GP_ID": "271828182", "TLE_LINE1": "", "TLE_LINE2": "",
}


def number(text):
    sign = "-" if text.startswith("-") else ""
    digits = text.lstrip("-")
    return sign + ("0" + digits if digits.startswith(".") else digits)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--form", choices=("quoted", "json"), required=True)
    form = parser.parse_args().form
    source = sys.stdin.buffer
    out = sys.stdout
    names = source.readline().decode().rstrip("\r\n").split(",")
    first = True
    if form == "quoted":
        out.write(",".join(f'"{name}"' for name in WIDE) + "\r\n")
    else:
        out.write("[\n")
    for raw in source:
        texts = raw.decode().rstrip("\r\n").split(",")
        if len(texts) < len(names):
            continue
        row = dict(zip(names, texts))
        if form == "quoted":
            row["TLE_LINE0"] = "0 " + row["OBJECT_NAME"]
            values = (row.get(name, FILLER.get(name, "")) for name in WIDE)
            out.write(",".join('"' + v.replace('"', '""') + '"' for v in values) + "\r\n")
        else:
            members = ", ".join(
                json.dumps(name) + ": "
                + (json.dumps(row[name]) if name in STRINGS else number(row[name]))
                for name in names)
            out.write(("" if first else ",\n") + "{" + members + "}")
            first = False
    if form == "json":
        out.write("\n]\n")


if __name__ == "__main__":
    main()
