#!/usr/bin/env python3
"""Every option and command a program's --help names must appear in its man page, so the
pages cannot fall behind the programs.

Usage: check_man_pages.py MAN_FOLDER NAME=PROGRAM...
"""
import re
import subprocess
import sys

# --long-options; //nologo-style and /v-style switches (not path fragments like a/b or /...).
OPTION = re.compile(r"(?<![\w/.\\-])(--[a-z][a-z-]*|//[a-z]+|/[a-z]{1,2}(?![\w/]))")
COMMAND_LINE = re.compile(r"^  ([a-z][a-z-]*)\b")


def help_words(text):
    words = set(OPTION.findall(text))
    # The commands: the indented first words of a "Commands:" block.
    in_commands = False
    for line in text.splitlines():
        if line.strip() == "Commands:":
            in_commands = True
        elif in_commands and not line.strip():
            in_commands = False
        elif in_commands and (m := COMMAND_LINE.match(line)):
            words.add(m.group(1))
    return words


def man_text(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    # What a reader sees: fonts switches and escapes gone, "\-" a plain hyphen.
    text = re.sub(r"\\f(\[[A-Z]*\]|[BIRP])", "", text)
    text = text.replace("\\-", "-").replace("\\&", "").replace("\\e", "\\")
    # .BR /v " | " /ve puts words in one macro line; keep them apart.
    return " " + re.sub(r"[\"\s]+", " ", text) + " "


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    folder, failures = argv[1], []
    for pair in argv[2:]:
        name, program = pair.split("=", 1)
        result = subprocess.run([program, "--help"], capture_output=True, text=True, timeout=60)
        if result.returncode != 0:
            failures.append(f"{name} --help exited with {result.returncode}: {result.stderr}")
            continue
        words = help_words(result.stdout)
        if not words:
            failures.append(f"{name} --help names no option")
        page = man_text(f"{folder}/{name}.1")
        for word in sorted(words):
            if not re.search(r"(?<![\w-])" + re.escape(word) + r"(?![\w-])", page):
                failures.append(f"{name}.1 does not mention {word} (from {name} --help)")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
