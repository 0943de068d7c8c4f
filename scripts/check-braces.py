#!/usr/bin/env python3
"""Fails on an if, else, for or while whose body is not a braced block.

Meant for code clang-format has already laid out; strings, characters and
comments are blanked first so their contents never count.
"""
import re
import sys

KEYWORD = re.compile(r"\b(if|for|while|else)\b")


def blank(text):
    """The text with comments, strings and character literals as spaces, lines kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i) or (c == "#" and (i == 0 or text[i - 1] == "\n")):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            out.append(" " * (j + 1 - i))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def after_parens(code, i):
    """The index just past the parenthesised group that starts at or after i."""
    i = code.index("(", i)
    depth = 0
    while True:
        if code[i] == "(":
            depth += 1
        elif code[i] == ")":
            depth -= 1
            if depth == 0:
                return i + 1
        i += 1


def next_token(code, i):
    while i < len(code) and code[i].isspace():
        i += 1
    return i


def offences(code):
    for m in KEYWORD.finditer(code):
        word, start = m.group(1), m.start()
        if word == "else":
            j = next_token(code, m.end())
            if code.startswith("if", j) or code.startswith("{", j):
                continue
        else:
            before = code[: start].rstrip()
            if word == "while" and before.endswith("}"):
                # the tail of a do-while, or a while after a block: only the former has no body
                k = after_parens(code, start)
                if code[next_token(code, k)] == ";":
                    continue
            j = next_token(code, after_parens(code, start))
            if code.startswith("{", j):
                continue
            if word != "if" and code.startswith(";", j):
                continue  # an empty loop body, written as such
        yield code.count("\n", 0, start) + 1, word


def main(paths):
    found = 0
    for path in paths:
        with open(path, encoding="utf-8") as f:
            code = blank(f.read())
        for line, word in offences(code):
            print(f"{path}:{line}: '{word}' without braces")
            found += 1
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
