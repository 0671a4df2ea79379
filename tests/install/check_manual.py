#!/usr/bin/env python3
"""The manual's host-function reference names every function of the host's table, in a
section of its own, and nothing else; and every page of the manual links only to pages,
anchors and pictures that exist.

Usage: check_manual.py HOST_DISPATCH_CPP MANUAL_FOLDER
"""
import os
import re
import sys


def main(argv):
    dispatch, folder = argv[1], argv[2]
    with open(dispatch, encoding="utf-8") as f:
        table = re.findall(r'\{"(\w+)", \{', f.read())
    failures = []
    if len(table) != 77:
        failures.append(f"found {len(table)} host functions in {dispatch}, not 77")
    pages = {}
    for name in os.listdir(folder):
        if name.endswith(".html"):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                pages[name] = f.read()
    reference = pages.get("host-functions.html", "")
    sections = re.findall(r'<div class="fn" id="(\w+)">', reference)
    for name in table:
        if name not in sections:
            failures.append(f"host-functions.html has no section for {name}")
    for name in sections:
        if name not in table:
            failures.append(f"host-functions.html describes {name}, which the host does not offer")
    for page, text in pages.items():
        for link in re.findall(r'(?:href|src)="([^"]+)"', text):
            if re.match(r"[a-z]+:", link):
                continue
            target, _, anchor = link.partition("#")
            target = target or page
            path = os.path.normpath(os.path.join(folder, target))
            if not os.path.exists(path):
                failures.append(f"{page} links to {link}, which does not exist")
            elif anchor and target in pages and f'id="{anchor}"' not in pages[target]:
                failures.append(f"{page} links to {link}, which has no such anchor")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
