"""A page as a page host runs it, as one VBScript program: the host's plain rules, written
apart from the compilable rules so that the two can be held against each other.

- include directives are replaced by their file's text, before anything else is read;
- text becomes Response.Write of exactly its bytes;
- <%= e %> becomes Response.Write e, <% code %> its code, <%@ ... %> nothing.

The pages given here hold no "%>" inside their code's strings, so the first "%>" ends a block.
"""

import re

INCLUDE = re.compile(rb'<!--\s*#include\s+(file|virtual)\s*=\s*"([^"]*)"\s*-->', re.IGNORECASE)


def inline_includes(text, read_include):
    """The text with each include directive replaced by its file's text (its includes too)."""
    return INCLUDE.sub(lambda m: inline_includes(read_include(m.group(2).decode()), read_include),
                       text)


def text_write(text):
    """Response.Write of exactly `text`: printable runs quoted, line ends and control bytes
    by name."""
    parts = []
    run = b""
    i = 0
    while i < len(text):
        byte = text[i:i + 1]
        if text[i:i + 2] == b"\r\n":
            name, i = b"vbCrLf", i + 2
        elif byte == b"\n":
            name, i = b"vbLf", i + 1
        elif byte[0] < 32 and byte != b"\t":
            name, i = b"Chr(%d)" % byte[0], i + 1
        else:
            run += b'""' if byte == b'"' else byte
            i += 1
            continue
        if run:
            parts.append(b'"' + run + b'"')
            run = b""
        parts.append(name)
    if run:
        parts.append(b'"' + run + b'"')
    return b"Response.Write " + b" & ".join(parts)


def page_script(page, read_include):
    """The page's program: one statement or code block a line, CRLF between them."""
    text = inline_includes(page, read_include)
    lines = []
    at = 0
    while at < len(text):
        start = text.find(b"<%", at)
        if start < 0:
            start = len(text)
        if start > at:
            lines.append(text_write(text[at:start]))
        if start == len(text):
            break
        end = text.find(b"%>", start + 2)
        if end < 0:
            raise ValueError("a <% never closed")
        block = text[start + 2:end]
        if block.startswith(b"="):
            lines.append(b"Response.Write " + block[1:].strip())
        elif not block.startswith(b"@"):
            lines.append(block)
        at = end + 2
    return b"\r\n".join(lines) + b"\r\n"
