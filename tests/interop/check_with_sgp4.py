#!/usr/bin/python3
"""Converts generated element sets and reads every entry back with python3-sgp4.

    check_with_sgp4.py CONVERTER GENERATOR [--rows N] [--seeds S1,S2]

For each seed the generator writes a CSV file into a temporary folder, the
converter turns it into a TLE file beside it, and every entry is read back
with sgp4's Satrec.twoline2rv. An entry passes when both lines are 69
characters long with a correct checksum digit, the reader accepts them
(no exception, error 0) and every element equals the CSV's value within the
resolution of its TLE field. Once more with --renumber (catalogue numbers
from 20001 on), and once through standard input.

Exit status 0 when every entry passes, 1 otherwise (the first mismatches are
listed).
"""

import argparse
import datetime
import math
import os
import shutil
import subprocess
import sys
import tempfile
from fractions import Fraction

from sgp4.api import Satrec

XPDOTP = 1440.0 / (2.0 * math.pi)   # rev/day per rad/min, as sgp4 defines it
MAX_LISTED = 12


class Report:
    def __init__(self):
        self.failures = []
        self.entries = 0
        self.worst = {}
        self.kinds = {}

    def fail(self, where, text):
        self.failures.append(f"{where}: {text}")
        kind = text.split(" ")[0]
        self.kinds[kind] = self.kinds.get(kind, 0) + 1

    def note(self, field, deviation):
        if deviation > self.worst.get(field, 0.0):
            self.worst[field] = deviation


def checksum(line):
    return sum(int(c) if c.isdigit() else c == "-" for c in line[:68]) % 10


def csv_rows(path):
    with open(path, "rb") as f:
        lines = f.read().decode("ascii").split("\r\n")
    assert lines[0].startswith("OBJECT_NAME,OBJECT_ID"), "generator wrote no header"
    rows = [line.split(",") for line in lines[1:] if line.strip()]
    for row in rows:
        assert len(row) == 17, f"generator wrote a row of {len(row)} columns: {row}"
    return rows


def tle_entries(data):
    text = data.decode("ascii")
    assert text.endswith("\r\n"), "TLE output does not end with CR LF"
    lines = text[:-2].split("\r\n")
    assert len(lines) % 3 == 0, f"TLE output has {len(lines)} lines, not a multiple of 3"
    return [lines[i:i + 3] for i in range(0, len(lines), 3)]


def exact(text):
    """The exact value of a decimal text such as '.45E-6' or '-.29987779E+1'."""
    if text == "":
        return Fraction(0)
    mantissa, _, exponent = text.upper().partition("E")
    value = Fraction(mantissa if not mantissa.startswith((".", "-.")) else
                     mantissa.replace(".", "0.", 1))
    return value * Fraction(10) ** int(exponent or 0)


def five_digit_step(value):
    """Half a unit of the fifth significant digit of value (0 for zero)."""
    if value == 0:
        return Fraction(0)
    magnitude = abs(value)
    power = math.floor(math.log10(magnitude))
    # Guard log10's rounding at exact powers of ten.
    if Fraction(10) ** power > magnitude:
        power -= 1
    elif Fraction(10) ** (power + 1) <= magnitude:
        power += 1
    return Fraction(10) ** (power - 4) / 2


def epoch_day(text):
    """(two-digit year, exact day of year with fraction) of 'YYYY-MM-DDTHH:MM:SS.ffffff'."""
    date = datetime.date.fromisoformat(text[:10])
    h, m, s = text[11:].split(":")
    seconds = (int(h) * 3600 + int(m) * 60) + Fraction(s)
    return date.year % 100, date.timetuple().tm_yday + seconds / 86400


def check_entry(report, where, row, entry, catalogue):
    name, line1, line2 = entry
    (obj_name, obj_id, epoch, mean_motion, ecc, incl, raan, argp, anomaly, _eph, _cls,
     _catno, elset, rev, bstar, ndot, nddot) = row

    if name != obj_name:
        report.fail(where, f"name line {name!r}, CSV {obj_name!r}")
    for number, line in (("1", line1), ("2", line2)):
        if len(line) != 69:
            report.fail(where, f"line {number} has {len(line)} characters: {line!r}")
            return
        if not line[68].isdigit() or int(line[68]) != checksum(line):
            report.fail(where, f"line {number} checksum {line[68]!r}, computed "
                               f"{checksum(line)}: {line!r}")

    try:
        sat = Satrec.twoline2rv(line1, line2)
    except Exception as error:  # the reader's own complaint is the message
        report.fail(where, f"rejected ({error.__class__.__name__}: "
                           f"{str(error).splitlines()[0]})\n    {line1}\n    {line2}")
        return
    if sat.error != 0:
        report.fail(where, f"sgp4 error {sat.error}\n    {line1}\n    {line2}")
        return

    def close(field, got, want, tolerance):
        deviation = abs(Fraction(got) - want)
        report.note(field, float(deviation))
        if deviation > tolerance:
            report.fail(where, f"{field} {float(got)!r}, CSV {float(want)!r} "
                               f"(tolerance {float(tolerance):g})\n    {line1}\n    {line2}")

    float_slack = Fraction(1, 10 ** 9)  # radians and rad/min back to degrees and rev/day
    close("inclination", math.degrees(sat.inclo), exact(incl), Fraction(1, 20000) + float_slack)
    close("raan", math.degrees(sat.nodeo), exact(raan), Fraction(1, 20000) + float_slack)
    close("arg_perigee", math.degrees(sat.argpo), exact(argp), Fraction(1, 20000) + float_slack)
    close("mean_anomaly", math.degrees(sat.mo), exact(anomaly), Fraction(1, 20000) + float_slack)
    close("mean_motion", sat.no_kozai * XPDOTP, exact(mean_motion),
          Fraction(1, 2 * 10 ** 8) + Fraction(1, 10 ** 11))

    # Eccentricity: truncated to seven decimals.
    want = exact(ecc)
    got = Fraction(line2[26:33]) / 10 ** 7
    if not (0 <= want - got < Fraction(1, 10 ** 7)) or abs(sat.ecco - float(got)) > 1e-15:
        report.fail(where, f"eccentricity {sat.ecco!r}, CSV {ecc} (truncated to 7 decimals)"
                           f"\n    {line2}")
    report.note("eccentricity", float(want - Fraction(sat.ecco)))

    # BSTAR and the second derivative: five significant digits, rounded.
    want = exact(bstar)
    close("bstar", sat.bstar, want, five_digit_step(want) * (1 + Fraction(1, 10 ** 9)))
    want = exact(nddot)
    close("nddot", sat.nddot * XPDOTP * 1440.0 * 1440.0, want,
          five_digit_step(want) * (1 + Fraction(1, 10 ** 6)))
    # First derivative: rev/day^2 / 2 in the TLE, rounded to eight decimals.
    close("ndot", sat.ndot * XPDOTP * 1440.0, exact(ndot),
          Fraction(1, 2 * 10 ** 8) + Fraction(1, 10 ** 15))

    year, day = epoch_day(epoch)
    if sat.epochyr != year:
        report.fail(where, f"epoch year {sat.epochyr}, CSV {epoch}\n    {line1}")
    # The day fraction is truncated to eight decimals; epochdays is a double
    # (about 1e-13 off at day 366).
    shortfall = day - Fraction(sat.epochdays)
    report.note("epoch_days", abs(float(shortfall)))
    noise = Fraction(1, 10 ** 12)
    if not (-noise <= shortfall < Fraction(1, 10 ** 8) - noise):
        report.fail(where, f"epoch day {sat.epochdays!r}, CSV {epoch} = day {float(day)!r}"
                           f"\n    {line1}")

    if sat.satnum != catalogue:
        report.fail(where, f"catalogue number {sat.satnum}, expected {catalogue}\n    {line1}")
    designator = obj_id[2:4] + obj_id[5:]
    if sat.intldesg != designator:
        report.fail(where, f"designator {sat.intldesg!r}, CSV {obj_id} -> {designator!r}")
    if sat.elnum != int(elset) or sat.revnum != int(rev):
        report.fail(where, f"element set {sat.elnum} / revolution {sat.revnum}, "
                           f"CSV {elset} / {rev}")
    if sat.classification != "U" or sat.ephtype != 0:
        report.fail(where, f"classification {sat.classification!r}, type {sat.ephtype}")
    report.entries += 1


def catalogue_value(text):
    """The number a CSV catalogue column stands for (Alpha-5 columns decoded)."""
    if text[0].isalpha():
        letters = "ABCDEFGHJKLMNPQRSTUVWXYZ"
        return (letters.index(text[0]) + 10) * 10000 + int(text[1:])
    return int(text)


def check_file(report, label, rows, data, renumber_from=None):
    entries = tle_entries(data)
    if len(entries) != len(rows):
        report.fail(label, f"{len(entries)} TLE entries for {len(rows)} CSV rows")
    for index, (row, entry) in enumerate(zip(rows, entries)):
        catalogue = renumber_from + index if renumber_from else catalogue_value(row[11])
        check_entry(report, f"{label} row {index + 1} (line {index + 2})", row, entry, catalogue)


def run(command):
    result = subprocess.run(command, capture_output=True)
    if result.returncode != 0:
        sys.exit(f"FAILED: {' '.join(command)} exited with {result.returncode}\n"
                 f"standard output:\n{result.stdout.decode(errors='replace')}\n"
                 f"standard error:\n{result.stderr.decode(errors='replace')}")
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("converter")
    parser.add_argument("--emulator", default="",
                        help="program that runs the converter (Wine for a Windows build)")
    parser.add_argument("generator")
    parser.add_argument("--rows", type=int, default=3000)
    parser.add_argument("--seeds", default="20260802,7")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    args = parser.parse_args()

    seeds = [int(s) for s in args.seeds.split(",")]
    converter = ([args.emulator] if args.emulator else []) + [args.converter]
    folder = tempfile.mkdtemp(prefix="varnholt-interop-")
    report = Report()
    try:
        inputs = []
        for seed in seeds:
            path = os.path.join(folder, f"elements-{seed}.csv")
            with open(path, "wb") as out:
                subprocess.run([sys.executable, args.generator, "--rows", str(args.rows),
                                "--seed", str(seed)], stdout=out, check=True)
            inputs.append((seed, path, csv_rows(path)))

        run(converter + [path for _, path, _ in inputs])
        for seed, path, rows in inputs:
            with open(path[:-len(".csv")] + ".TLE", "rb") as f:
                check_file(report, f"seed {seed}", rows, f.read())

        # Renumbering: one counter for the whole process, from 20001 on.
        renumbered = []
        for seed, path, rows in inputs:
            copy = os.path.join(folder, f"renumber-{seed}.csv")
            shutil.copyfile(path, copy)
            renumbered.append((seed, copy, rows))
        run(converter + ["--renumber"] + [path for _, path, _ in renumbered])
        first = 20001
        for seed, path, rows in renumbered:
            with open(path[:-len(".csv")] + ".TLE", "rb") as f:
                check_file(report, f"seed {seed} renumbered", rows, f.read(), first)
            first += len(rows)

        # Standard input to standard output gives the same entries as the file.
        seed, path, rows = inputs[0]
        with open(path, "rb") as f:
            piped = subprocess.run(converter + ["-"], stdin=f, capture_output=True)
        with open(path[:-len(".csv")] + ".TLE", "rb") as f:
            if piped.returncode != 0 or piped.stdout != f.read():
                report.fail("stdin", f"'-' gave exit status {piped.returncode} and "
                                     f"{len(piped.stdout)} bytes unlike the file's TLE")
    finally:
        if args.keep:
            print(f"kept {folder}")
        else:
            shutil.rmtree(folder, ignore_errors=True)

    print(f"sgp4 read {report.entries} entries from {len(seeds)} generated files "
          f"(seeds {args.seeds}, {args.rows} rows each, plus --renumber and stdin)")
    print("largest deviations: " + ", ".join(f"{k} {v:.3g}" for k, v in sorted(report.worst.items())))
    if report.failures:
        kinds = ", ".join(f"{k} {n}" for k, n in sorted(report.kinds.items()))
        print(f"FAILED: {len(report.failures)} mismatches ({kinds}); "
              f"the first {min(MAX_LISTED, len(report.failures))}:")
        for failure in report.failures[:MAX_LISTED]:
            print("  " + failure)
        return 1
    print("all entries accepted, all values equal within their TLE fields")
    return 0


if __name__ == "__main__":
    sys.exit(main())
