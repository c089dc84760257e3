#!/usr/bin/python3
"""Lets real trackers from Debian read the converter's output.

    check_trackers.py CONVERTER CSV WORKDIR TRACKER...

TRACKER is "xplanet" or "gpredict" (gpredict needs an X display: run it under
xvfb-run). CSV is a catalogue with numbers above 99999, converted three ways:

  letters     the default form: 100000-339999 written A0000-Z9999
  stand-ins   --five-digit --name-width 24 (the rows up to 119999):
              100000-119999 written 80000-99999, names cut to 24 characters
  full names  --five-digit alone, to show what a tracker makes of a longer name

Checked (a failure makes the exit status 1):
  - every entry a tracker can address by digits, that is every five-digit
    entry of the letter form and every entry of the stand-in form, is found
    under the number written for it, with its name as written;
  - xplanet: its trail_output sub-satellite points (geodetic latitude,
    longitude, height) agree with python3-sgp4's propagation of the CSV's own
    elements (not the TLE's rounded ones) within 1 km, at every point;
  - gpredict: after "Update TLE data from local files" the .sat file stored
    under each number holds the name and both element lines as written.
What a tracker does with A0000-form numbers and with names over 24 characters
is reported, not judged: that is what the stand-ins and --name-width are for.
"""

import configparser
import datetime
import math
import os
import re
import shutil
import subprocess
import sys
import time

from sgp4.api import WGS72, Satrec
from sgp4.propagation import gstime

LETTERS = "ABCDEFGHJKLMNPQRSTUVWXYZ"  # I and O are not used
XPDOTP = 1440.0 / (2.0 * math.pi)  # rev/day per rad/min
TOLERANCE_KM = 1.0
XPLANET_DATE = "20261209.120000"  # the fixture's epochs lie within a day of it
TRAIL = "{ground,-60,60,10}"  # minutes from the date: first, end (not reached), step
TRAIL_POINTS = 12
# xplanet's Earth: the WGS 72 ellipsoid, geodetic latitude, Greenwich mean
# sidereal time (IAU 1982) as SGP4 itself uses it.
EARTH_RADIUS_KM = 6378.135
FLATTENING = 1.0 / 298.26


class Report:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def ok(self, text):
        self.passed += 1
        print(f"  ok    {text}")

    def fail(self, text):
        self.failed += 1
        print(f"  FAIL  {text}")

    def note(self, text):
        print(f"  note  {text}")


class Entry:
    """One CSV row and what the converter is expected to write for it."""

    def __init__(self, row):
        self.row = row
        self.name = row["OBJECT_NAME"]
        self.number = int(row["NORAD_CAT_ID"])

    def written(self, form):
        if self.number <= 99999:
            return f"{self.number:05d}"
        if form == "letters":
            return LETTERS[self.number // 10000 - 10] + f"{self.number % 10000:04d}"
        return f"{self.number - 20000:05d}"

    def name_line(self, width):
        return self.name[:width].rstrip() if width else self.name

    def satrec(self):
        r = self.row
        epoch = datetime.datetime.fromisoformat(r["EPOCH"]).replace(
            tzinfo=datetime.timezone.utc)
        days = (epoch - datetime.datetime(1949, 12, 31, tzinfo=datetime.timezone.utc)
                ).total_seconds() / 86400.0
        rad = math.radians
        sat = Satrec()
        sat.sgp4init(WGS72, "i", 0, days, float(r["BSTAR"]),
                     float(r["MEAN_MOTION_DOT"]) / (XPDOTP * 1440.0),
                     float(r["MEAN_MOTION_DDOT"]) / (XPDOTP * 1440.0 * 1440.0),
                     float(r["ECCENTRICITY"]), rad(float(r["ARG_OF_PERICENTER"])),
                     rad(float(r["INCLINATION"])), rad(float(r["MEAN_ANOMALY"])),
                     float(r["MEAN_MOTION"]) / XPDOTP, rad(float(r["RA_OF_ASC_NODE"])))
        return sat


def read_csv(path):
    with open(path, newline="") as f:
        lines = [line for line in f.read().splitlines() if line.strip()]
    header = lines[0].split(",")
    return lines[0], [Entry(dict(zip(header, line.split(",")))) for line in lines[1:]]


def read_tle(path):
    with open(path, newline="") as f:
        lines = f.read().splitlines()
    return [tuple(lines[i:i + 3]) for i in range(0, len(lines) - 2, 3)]


def ecef(lat, lon, height):
    """Earth-fixed position in km of a geodetic point on xplanet's ellipsoid."""
    e2 = FLATTENING * (2.0 - FLATTENING)
    phi, lam = math.radians(lat), math.radians(lon)
    n = EARTH_RADIUS_KM / math.sqrt(1.0 - e2 * math.sin(phi) ** 2)
    return ((n + height) * math.cos(phi) * math.cos(lam),
            (n + height) * math.cos(phi) * math.sin(lam),
            (n * (1.0 - e2) + height) * math.sin(phi))


def sgp4_ecef(sat, unix_time):
    """Earth-fixed position in km from SGP4 (TEME turned by the GMST)."""
    jd = unix_time / 86400.0 + 2440587.5
    error, r, _ = sat.sgp4(jd, 0.0)
    if error:
        raise ValueError(f"sgp4 error {error}")
    theta = gstime(jd)
    return (r[0] * math.cos(theta) + r[1] * math.sin(theta),
            -r[0] * math.sin(theta) + r[1] * math.cos(theta), r[2])


class Conversion:
    """The converter's output of one form, checked against the CSV."""

    def __init__(self, form, options, entries, tle_path, width):
        self.form = form
        self.options = options
        self.entries = entries
        self.tle_path = tle_path
        self.width = width
        self.lines = {}  # written number -> (name line, line 1, line 2)

    def digits(self):
        """The entries a tracker can address by a number of digits."""
        return [e for e in self.entries if e.written(self.form).isdigit()]

    def letters(self):
        return [e for e in self.entries if not e.written(self.form).isdigit()]

    def judges_name(self, entry):
        """Whether a tracker must show the name as written: names over the
        publisher's 24 characters are only reported when left whole."""
        return self.width is not None or len(entry.name) <= 24


def convert(converter, form, options, entries, header, work, width, report):
    csv_path = os.path.join(work, f"{form}.csv")
    with open(csv_path, "w", newline="") as f:
        f.write("\r\n".join([header] + [",".join(e.row.values()) for e in entries]) + "\r\n")
    tle_path = os.path.join(work, f"{form}.tle")
    command = [converter] + options + ["-o", tle_path, csv_path]
    done = subprocess.run(command, capture_output=True, text=True)
    conversion = Conversion(form, options, entries, tle_path, width)
    shown = " ".join(["varnholt-convert"] + options + ["-o", f"{form}.tle"])
    print(f"== {form}: {shown}")
    if done.returncode != 0:
        report.fail(f"the converter failed ({done.returncode}): {done.stderr.strip()}")
        return None
    written = read_tle(tle_path)
    if len(written) != len(entries):
        report.fail(f"{len(written)} entries written for {len(entries)} rows")
        return None
    for entry, (name, line1, line2) in zip(entries, written):
        number = entry.written(form)
        if line1[2:7] != number or line2[2:7] != number or name != entry.name_line(width):
            report.fail(f"row {entry.number} written as {name!r} {line1[2:7]!r}, "
                        f"expected {entry.name_line(width)!r} {number!r}")
            return None
        conversion.lines[number] = (name, line1, line2)
    return conversion


def check_xplanet(conversion, work, report):
    """xplanet finds every entry written in digits under its number, where the CSV puts it."""
    form = conversion.form
    folder = os.path.join(work, f"xplanet-{form}")
    os.makedirs(folder)
    # xplanet opens only "<satellite file>.tle", with a lower-case extension.
    satellites = os.path.join(folder, form)
    shutil.copy(conversion.tle_path, satellites + ".tle")
    wanted = {}
    with open(satellites, "w") as f:
        for entry in conversion.digits():
            number = int(entry.written(form))
            trail = os.path.join(folder, f"{number}.txt")
            wanted[number] = (entry, trail)
            f.write(f"{number} trail={TRAIL} trail_output={trail}\n")
        for entry in conversion.letters():
            f.write(f"{entry.written(form)}\n")
        if conversion.letters():
            f.write(f"0 trail={TRAIL} trail_output={os.path.join(folder, '0.txt')}\n")
    config = os.path.join(folder, "config")
    with open(config, "w") as f:
        f.write(f"[earth]\nsatellite_file={satellites}\nmin_radius_for_markers=0\n")
    done = subprocess.run(
        ["xplanet", "-config", config, "-num_times", "1", "-geometry", "64x64",
         "-output", os.path.join(folder, "earth.png"), "-date", XPLANET_DATE,
         "-verbosity", "4"],
        capture_output=True, text=True, timeout=60, cwd=folder,
        env=dict(os.environ, HOME=folder))
    missing = re.findall(r'No satellite found for\s+"([^"\s]+)', done.stdout + done.stderr)

    for number, (entry, trail) in wanted.items():
        what = f"xplanet {number:05d} {entry.name_line(conversion.width)!r}"
        points = read_trail(trail)
        if str(number) in missing or points is None:
            report.fail(f"{what}: not found (exit {done.returncode})")
            continue
        name, listed, rows = points
        if conversion.judges_name(entry):
            if listed != number or name.rstrip() != entry.name_line(conversion.width):
                report.fail(f"{what}: read as {listed} {name!r}")
                continue
        else:
            report.note(f"{what}: a name over 24 characters shown as {name!r}")
            if listed != number:
                report.fail(f"{what}: read as {listed}")
                continue
        sat = entry.satrec()
        worst = max(math.dist(ecef(lat, lon, h), sgp4_ecef(sat, t)) for lat, lon, h, t in rows)
        if len(rows) < TRAIL_POINTS or worst > TOLERANCE_KM:
            report.fail(f"{what}: {len(rows)} points, {worst:.3f} km from sgp4's")
        else:
            report.ok(f"{what}: found; {len(rows)} sub-satellite points within "
                      f"{worst:.3f} km of sgp4's from the CSV")
    for entry in conversion.letters():
        number = entry.written(form)
        report.note(f"xplanet {number} {entry.name!r}: "
                    + ("not found by that number" if number in missing
                       else "found?") + " (xplanet reads digits only)")
    if conversion.letters():
        zero = read_trail(os.path.join(folder, "0.txt"))
        report.note("xplanet: satellite 0 is "
                    + (repr(zero[0].rstrip()) if zero else "not there")
                    + f"; {len(conversion.letters())} letter-form entries read as number 0")


def read_trail(path):
    """(name, number, [(lat, lon, height, unix time)]) of a trail_output file."""
    if not os.path.exists(path):
        return None
    with open(path) as f:
        text = f.read()
    begin = re.search(r"^BEGIN (.*)\t(\d+)$", text, re.M)
    if not begin:
        return None
    rows = []
    for line in text.splitlines():
        fields = line.split()
        if len(fields) >= 4 and re.fullmatch(r"-?\d+\.\d+", fields[0]):
            rows.append((float(fields[0]), float(fields[1]), float(fields[2]), int(fields[3])))
    return begin.group(1), int(begin.group(2)), rows


def check_gpredict(conversion, work, report):
    """gpredict's "Update TLE data from local files", then its .sat files."""
    form = conversion.form
    folder = os.path.join(work, f"gpredict-{form}")
    source = os.path.join(folder, "tle")
    home = os.path.join(folder, "home")
    config_dir = os.path.join(home, ".config", "Gpredict")
    os.makedirs(source)
    os.makedirs(config_dir)
    shutil.copy(conversion.tle_path, source)
    # The folder the update dialog offers, new satellites added, log kept.
    with open(os.path.join(config_dir, "gpredict.cfg"), "w") as f:
        f.write(f"[TLE]\nFILE_DIR={source}\nADD_NEW_SATS=true\n\n[LOG]\nLEVEL=4\n")
    log = os.path.join(config_dir, "logs", "gpredict.log")
    satdata = os.path.join(config_dir, "satdata")

    started = time.monotonic()
    env = dict(os.environ, HOME=home, NO_AT_BRIDGE="1")
    # Now and then gpredict ends at start-up before it shows a window or
    # writes its log; such a start is tried again, twice at the most.
    for attempt in range(3):
        errors = os.path.join(folder, f"gpredict-stderr-{attempt + 1}.txt")
        with open(errors, "w") as stderr:
            program = subprocess.Popen(["gpredict"], env=env, stdout=subprocess.DEVNULL,
                                       stderr=stderr)
        try:
            updated, window_shown = drive_gpredict_update(log, program)
            windows = [] if updated else visible_windows()
        finally:
            status = program.poll()
            program.terminate()
            try:
                program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                program.kill()
                program.wait()
        if updated or window_shown:
            break
        said = open(errors, errors="replace").read().strip().splitlines()[-3:]
        report.note(f"gpredict: start {attempt + 1} showed no window (exit status {status}, "
                    f"standard error {said})")
    seconds = time.monotonic() - started
    if not updated:
        last = open(log).read().splitlines()[-5:] if os.path.exists(log) else ["(no log)"]
        report.fail(f"gpredict: the update from local files did not finish ({seconds:.1f} s); "
                    f"windows shown at the end: {windows}; the log's last lines: {last}")
        return
    added = re.search(r"Added (\d+) new satellites", open(log).read())
    report.note(f"gpredict: updated from local files in {seconds:.1f} s"
                + (f", {added.group(1)} new satellites" if added else ""))

    for entry in conversion.digits():
        number = entry.written(form)
        name, line1, line2 = conversion.lines[number]
        what = f"gpredict {number} {name!r}"
        stored = read_sat(os.path.join(satdata, f"{int(number)}.sat"))
        if stored is None:
            report.fail(f"{what}: no {int(number)}.sat")
            continue
        if not conversion.judges_name(entry):
            report.note(f"{what}: a name over 24 characters stored as {stored.get('name')!r}")
            name = stored.get("name")
        if (stored.get("name"), stored.get("tle1"), stored.get("tle2")) != (name, line1, line2):
            report.fail(f"{what}: stored as {stored.get('name')!r} "
                        f"{stored.get('tle1')!r} {stored.get('tle2')!r}")
        else:
            report.ok(f"{what}: stored under {int(number)} with its "
                      + ("name and " if conversion.judges_name(entry) else "")
                      + "element lines as written")
    if conversion.letters():
        zero = read_sat(os.path.join(satdata, "0.sat"))
        report.note(f"gpredict: {len(conversion.letters())} letter-form entries read as number 0; "
                    + (f"0.sat holds {zero.get('name')!r} with {zero.get('tle1', '')[2:7]!r}"
                       if zero else "no 0.sat"))


def visible_windows():
    """The titles of the windows shown on the display, for a failure's report."""
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "."],
                         capture_output=True, text=True).stdout.split()
    return [subprocess.run(["xdotool", "getwindowname", i], capture_output=True,
                           text=True).stdout.strip() for i in ids]


def drive_gpredict_update(log, program, timeout=60.0):
    """Edit > Update TLE data from local files > OK, with xdotool. Returns
    whether gpredict logged the update's end, and whether its main window
    showed at all. Each step is tried again while nothing shows that it was
    taken."""
    deadline = time.monotonic() + timeout

    def shown(title):
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title],
                               capture_output=True, text=True).stdout.split()
        return found[0] if found else None

    def finished():
        return os.path.exists(log) and "TLE elements updated" in open(log).read()

    # It shows its main window within a few seconds when it starts at all.
    window_deadline = time.monotonic() + 20.0
    main = None
    while main is None and time.monotonic() < window_deadline and program.poll() is None:
        main = shown("^Gpredict:")
        time.sleep(0.5)
    while main is not None and time.monotonic() < deadline and not finished():
        dialog = shown("^Update TLE from files$")
        if dialog is not None:
            time.sleep(0.3)
            # The dialog offers the configured folder; its OK button is at
            # the bottom right, 45 by 20 pixels in from the corner.
            geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", dialog],
                                      capture_output=True, text=True).stdout
            size = dict(line.split("=", 1) for line in geometry.split())
            subprocess.run(["xdotool", "mousemove", "--window", dialog,
                            str(int(size["WIDTH"]) - 45), str(int(size["HEIGHT"]) - 20),
                            "click", "1"], capture_output=True)
            time.sleep(1.0)
        elif shown("^TLE Update$") is None:
            subprocess.run(["xdotool", "windowfocus", "--sync", main, "key", "Escape"],
                           capture_output=True)
            subprocess.run(["xdotool", "key", "alt+e"], capture_output=True)
            time.sleep(0.5)
            subprocess.run(["xdotool", "key", "f"], capture_output=True)
            time.sleep(1.5)
        else:
            time.sleep(0.5)
    return finished(), main is not None


def read_sat(path):
    if not os.path.exists(path):
        return None
    parser = configparser.ConfigParser(interpolation=None)
    parser.read(path)
    return dict(parser["Satellite"]) if parser.has_section("Satellite") else {}


def main():
    if len(sys.argv) < 5 or not set(sys.argv[4:]) <= {"xplanet", "gpredict"}:
        sys.exit(__doc__)
    converter, csv_path, work = sys.argv[1:4]
    trackers = sys.argv[4:]
    header, entries = read_csv(csv_path)
    report = Report()
    forms = [
        ("letters", [], entries, None),
        ("stand-ins", ["--five-digit", "--name-width", "24"],
         [e for e in entries if e.number <= 119999], 24),
        ("full-names", ["--five-digit"], [e for e in entries if e.number <= 119999], None),
    ]
    for form, options, rows, width in forms:
        conversion = convert(converter, form, options, rows, header, work, width, report)
        if conversion is None:
            continue
        if "xplanet" in trackers:
            check_xplanet(conversion, work, report)
        if "gpredict" in trackers:
            check_gpredict(conversion, work, report)
    print(f"trackers: {report.passed} passed, {report.failed} failed")
    return 1 if report.failed or not report.passed else 0


if __name__ == "__main__":
    sys.exit(main())
