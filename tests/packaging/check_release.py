#!/usr/bin/env python3
"""Checks that every place naming the release agrees with project()'s version:
the Debian changelog's newest entry, the AppStream data's newest release, and
the About window's date, which must be that release's date.

usage: check_release.py VERSION SOURCE_DIR"""

import datetime
import re
import sys
from pathlib import Path

# English whatever the locale.
MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]


def main() -> int:
    version, source = sys.argv[1], Path(sys.argv[2])
    faults = []

    changelog = (source / "packaging/changelog").read_text(encoding="utf-8")
    first = changelog.splitlines()[0]
    match = re.match(r"varnholt \(([^)-]+)-\d+\)", first)
    if not match or match.group(1) != version:
        faults.append(f"packaging/changelog's newest entry is {first!r}, not version {version}")

    metainfo = (source / "packaging/io.github.varnholt.metainfo.xml").read_text(encoding="utf-8")
    release = re.search(r'<release version="([^"]+)" date="(\d{4}-\d{2}-\d{2})"', metainfo)
    if not release:
        faults.append("the AppStream data names no release")
    elif release.group(1) != version:
        faults.append(f"the AppStream data's newest release is {release.group(1)}, not {version}")

    design = (source / "desktop/window_design.h").read_text(encoding="utf-8")
    about = re.search(r'dateRow = "([^"]+)"', design)
    if not about:
        faults.append("desktop/window_design.h holds no dateRow")
    elif release:
        released = datetime.date.fromisoformat(release.group(2))
        expected = f"{MONTHS[released.month - 1]} {released.day}, {released.year}"
        if about.group(1) != expected:
            faults.append(f"the About window's date is {about.group(1)!r}; the AppStream "
                          f"release {release.group(1)} is dated {expected!r}")

    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
