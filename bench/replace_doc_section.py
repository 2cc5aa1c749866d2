#!/usr/bin/env python3
"""Replaces the "## TITLE" section of a Markdown file (up to the next "## "
heading) with new text, or appends it when the file has no such section.

Usage: replace_doc_section.py FILE TITLE TEXT   (TEXT starts with its heading)
"""
import re
import sys

path, title, section = sys.argv[1], sys.argv[2], sys.argv[3]
try:
    text = open(path).read()
except FileNotFoundError:
    text = ""
pattern = re.compile(r"^## " + re.escape(title) + r"\n.*?(?=^## |\Z)", re.S | re.M)
if pattern.search(text):
    text = pattern.sub(lambda _: section + "\n\n", text)
else:
    text = text.rstrip("\n") + ("\n\n" if text.strip() else "") + section + "\n"
open(path, "w").write(text)
