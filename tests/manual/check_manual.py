#!/usr/bin/env python3
"""Checks the HTML user manual before it is installed.

    check_manual.py MANUAL_DIR     checks every page of the manual; exit status 1 on a fault
    check_manual.py --self-test    checks that the checker itself finds each kind of fault

A page must be well-formed HTML5 written in the strict style the manual keeps: a doctype, every
non-void element closed in the right order, no duplicate attributes or ids, known elements and
entities only, a language, a character set and a title. Every local link, image and style sheet
must resolve inside the manual (a link's #fragment to an id of its page), nothing may be fetched
from elsewhere, every image needs alt text, every page must share the same navigation and be
listed in it, and every file under images/ must be used by some page, all of them together
within 3 MB.
"""

import html.entities
import html.parser
import pathlib
import re
import sys
import tempfile
import urllib.parse

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}
KNOWN = VOID | {
    "a", "abbr", "article", "aside", "b", "blockquote", "body", "caption", "cite", "code", "dd",
    "details", "div", "dl", "dt", "em", "figcaption", "figure", "footer", "h1", "h2", "h3", "h4",
    "h5", "h6", "head", "header", "html", "i", "kbd", "li", "main", "mark", "nav", "ol", "p",
    "pre", "q", "samp", "section", "small", "span", "strong", "style", "sub", "summary", "sup",
    "table", "tbody", "td", "tfoot", "th", "thead", "time", "title", "tr", "ul", "var"}
# Elements that end an open <p> in HTML5: written inside one, they would not be inside it.
CLOSES_PARAGRAPH = {"article", "aside", "blockquote", "details", "div", "dl", "figure", "footer",
                    "h1", "h2", "h3", "h4", "h5", "h6", "header", "hr", "main", "nav", "ol", "p",
                    "pre", "section", "table", "ul"}
# The pictures travel in every package and checkout: keep them few and small.
IMAGE_BUDGET_BYTES = 3 * 1024 * 1024
# Attributes whose value is a reference to another file or a place in one.
LINK_ATTRIBUTES = {"href", "src"}


class PageParser(html.parser.HTMLParser):
    """Collects one page's structure faults, ids, references and navigation."""

    def __init__(self):
        super().__init__(convert_charrefs=False)
        self.faults = []
        self.stack = []
        self.ids = set()
        self.references = []  # (attribute, value, line)
        self.doctype = None
        self.seen_elements = []
        self.title_text = ""
        self.nav_links = []
        self.nav_depth = 0
        self.lang = None
        self.charset = False

    def fault(self, text):
        line, _ = self.getpos()
        self.faults.append(f"line {line}: {text}")

    def handle_decl(self, decl):
        if self.seen_elements or self.doctype is not None:
            self.fault(f"declaration <!{decl}> is not the first thing in the page")
        self.doctype = decl

    def handle_starttag(self, tag, attrs):
        self.open_element(tag, attrs, self_closing=False)

    def handle_startendtag(self, tag, attrs):
        self.open_element(tag, attrs, self_closing=True)

    def open_element(self, tag, attrs, self_closing):
        self.seen_elements.append(tag)
        if tag not in KNOWN:
            self.fault(f"unknown element <{tag}>")
        if tag in CLOSES_PARAGRAPH and any(open_tag == "p" for open_tag, _ in self.stack):
            self.fault(f"<{tag}> cannot stand inside <p>")
        names = [name for name, _ in attrs]
        for name in sorted({n for n in names if names.count(n) > 1}):
            self.fault(f"attribute {name} given twice on <{tag}>")
        values = dict(attrs)
        if "id" in values:
            if values["id"] in self.ids:
                self.fault(f"id {values['id']!r} used twice")
            self.ids.add(values["id"])
        for name in LINK_ATTRIBUTES & values.keys():
            self.references.append((tag, name, values[name] or "", self.getpos()[0]))
        if tag == "img" and "alt" not in values:
            self.fault("<img> without alt text")
        if tag == "html":
            self.lang = values.get("lang")
        if tag == "meta" and (values.get("charset") or "").lower() == "utf-8":
            self.charset = True
        if tag == "nav":
            self.nav_depth += 1
        elif tag == "a" and self.nav_depth:
            self.nav_links.append(values.get("href"))
        if self_closing and tag not in VOID:
            self.fault(f"<{tag}/> is not a void element and must be closed")
        elif tag not in VOID:
            self.stack.append((tag, self.getpos()[0]))

    def handle_endtag(self, tag):
        if tag in VOID:
            self.fault(f"</{tag}> closes a void element")
            return
        if not self.stack:
            self.fault(f"</{tag}> without an open element")
            return
        open_tag, line = self.stack[-1]
        if open_tag != tag:
            self.fault(f"</{tag}> closes <{open_tag}> opened on line {line}")
            if any(t == tag for t, _ in self.stack):
                while self.stack and self.stack[-1][0] != tag:
                    self.stack.pop()
                self.stack.pop()
            return
        self.stack.pop()
        if tag == "nav":
            self.nav_depth -= 1

    def handle_data(self, data):
        if self.stack and self.stack[-1][0] == "title":
            self.title_text += data
        if not self.stack and data.strip():
            self.fault(f"text outside every element: {data.strip()[:30]!r}")

    def handle_entityref(self, name):
        if name + ";" not in html.entities.html5:
            self.fault(f"unknown entity &{name};")
        if self.stack and self.stack[-1][0] == "title":
            self.title_text += "x"

    def handle_charref(self, name):
        try:
            value = int(name[1:], 16) if name[:1] in "xX" else int(name)
            chr(value)
        except (ValueError, OverflowError):
            self.fault(f"bad character reference &#{name};")

    def unknown_decl(self, data):
        self.fault(f"unexpected declaration {data[:30]!r}")

    def finish(self):
        self.close()
        for tag, line in self.stack:
            self.faults.append(f"<{tag}> opened on line {line} is never closed")
        if (self.doctype or "").lower() != "doctype html":
            self.faults.append("the page does not start with <!DOCTYPE html>")
        if self.seen_elements[:1] != ["html"]:
            self.faults.append("the first element is not <html>")
        if not self.lang:
            self.faults.append("<html> has no lang")
        if not self.charset:
            self.faults.append('no <meta charset="utf-8">')
        if not self.title_text.strip():
            self.faults.append("no <title>, or an empty one")
        if self.seen_elements.count("h1") != 1:
            self.faults.append("a page has exactly one <h1>")


def is_outside(value):
    """True for a reference that would leave the manual: any scheme, or a host."""
    parts = urllib.parse.urlsplit(value)
    return bool(parts.scheme or parts.netloc)


def check_manual(root, image_budget=IMAGE_BUDGET_BYTES):
    """Returns the faults of the manual in folder root, each as 'file: text'."""
    root = pathlib.Path(root).resolve()
    faults = []
    pages = sorted(root.glob("*.html"))
    if not pages:
        return [f"{root}: no pages"]
    if not (root / "index.html").is_file():
        faults.append("index.html: missing")
    parsed = {}
    for page in pages:
        parser = PageParser()
        try:
            parser.feed(page.read_text(encoding="utf-8"))
        except UnicodeDecodeError as error:
            faults.append(f"{page.name}: not UTF-8 ({error})")
            continue
        parser.finish()
        faults += [f"{page.name}: {text}" for text in parser.faults]
        parsed[page] = parser

    used = set()
    for page, parser in parsed.items():
        for tag, attribute, value, line in parser.references:
            where = f"{page.name}: line {line}:"
            if is_outside(value):
                faults.append(f"{where} {attribute}={value!r} leaves the manual")
                continue
            parts = urllib.parse.urlsplit(value)
            path = urllib.parse.unquote(parts.path)
            target = (page.parent / path).resolve() if path else page
            if root not in target.parents and target != root:
                faults.append(f"{where} {value!r} points outside the manual folder")
                continue
            if not target.is_file():
                faults.append(f"{where} {value!r} does not exist")
                continue
            used.add(target)
            if parts.fragment:
                other = parsed.get(target)
                if other is None:
                    faults.append(f"{where} {value!r} has a fragment but is not a page")
                elif urllib.parse.unquote(parts.fragment) not in other.ids:
                    faults.append(f"{where} {value!r}: no id {parts.fragment!r} there")

    for sheet in sorted(root.rglob("*.css")):
        text = sheet.read_text(encoding="utf-8")
        for match in re.finditer(r"url\(\s*['\"]?([^'\")]+)|@import", text):
            if match.group(0) == "@import":
                faults.append(f"{sheet.name}: @import is not used in the manual")
                continue
            value = match.group(1)
            if is_outside(value):
                faults.append(f"{sheet.name}: url({value}) leaves the manual")
            elif not (sheet.parent / value).resolve().is_file():
                faults.append(f"{sheet.name}: url({value}) does not exist")
            else:
                used.add((sheet.parent / value).resolve())

    # One navigation on every page, listing every page.
    navigations = {page: tuple(parser.nav_links) for page, parser in parsed.items()}
    first = parsed.get(root / "index.html") and navigations[root / "index.html"]
    if first:
        for page, links in navigations.items():
            if links != first:
                faults.append(f"{page.name}: its navigation differs from index.html's")
        listed = {(root / link).resolve() for link in first if link}
        for page in pages:
            if page not in listed:
                faults.append(f"{page.name}: not listed in the navigation")
    elif parsed:
        faults.append("index.html: no navigation")

    images = root / "images"
    if images.is_dir():
        total = 0
        for image in sorted(images.rglob("*")):
            if not image.is_file():
                continue
            total += image.stat().st_size
            if image.resolve() not in used:
                faults.append(f"images/{image.relative_to(images)}: used by no page")
        if total > image_budget:
            faults.append(f"images/: {total} bytes, more than the {image_budget} allowed")
    return faults


def self_test():
    """Each broken page must be reported; the good one must pass."""
    good_page = """<!DOCTYPE html>
<html lang="en">
<head><meta charset="utf-8"><title>T</title><link rel="stylesheet" href="style.css"></head>
<body><nav><ul><li><a href="index.html">Contents</a></li></ul></nav>
<main><h1 id="top">T</h1><p>A &amp; B<br><img src="images/a.png" alt=""></p>
<p><a href="#top">top</a> <a href="index.html#top">again</a></p></main></body>
</html>
"""
    # Each broken page and a text its fault report must contain.
    cases = {
        "unclosed element": (good_page.replace("</main>", ""), "closes <main>"),
        "unclosed at the end": (good_page.replace("</html>", ""), "never closed"),
        "wrong nesting": (good_page.replace("<p>A &amp; B", "<p><em>A &amp; B</p></em><p>"),
                          "closes <em>"),
        "missing doctype": (good_page.replace("<!DOCTYPE html>\n", ""), "DOCTYPE"),
        "duplicate id": (good_page.replace('<p><a href="#top">', '<p id="top"><a href="#top">'),
                         "used twice"),
        "unknown element": (good_page.replace("<main>", "<mian></mian><main>"), "unknown element"),
        "unknown entity": (good_page.replace("&amp;", "&ampp;"), "unknown entity"),
        "missing image": (good_page.replace("images/a.png", "images/b.png"), "does not exist"),
        "broken fragment": (good_page.replace("index.html#top", "index.html#bottom"),
                            "no id 'bottom'"),
        "missing page": (good_page.replace("index.html#top", "other.html"), "does not exist"),
        "external image": (good_page.replace("images/a.png", "https://example.org/a.png"),
                           "leaves the manual"),
        "protocol-relative": (good_page.replace("style.css", "//example.org/style.css"),
                              "leaves the manual"),
        "image without alt": (good_page.replace(' alt=""', ""), "without alt"),
        "duplicate attribute": (good_page.replace('alt=""', 'alt="" alt="x"'), "given twice"),
        "no title": (good_page.replace("<title>T</title>", ""), "<title>"),
        "no language": (good_page.replace(' lang="en"', ""), "no lang"),
        "escape from folder": (good_page.replace("style.css", "../style.css"),
                               "outside the manual folder"),
        "closed void element": (good_page.replace("<br>", "<br></br>"), "void element"),
        "block in paragraph": (good_page.replace("<br>", "<pre>x</pre>"), "inside <p>"),
        "two headings": (good_page.replace("<p>A", "<h1>U</h1><p>A"), "<h1>"),
    }
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        root = pathlib.Path(folder) / "manual"
        (root / "images").mkdir(parents=True)
        (root / "images" / "a.png").write_bytes(b"\x89PNG")
        (root / "style.css").write_text("body { color: black; }\n")
        (pathlib.Path(folder) / "style.css").write_text("\n")
        (root / "index.html").write_text(good_page)
        found = check_manual(root)
        if found:
            failures.append(f"the good page was refused: {found}")
        for name, (page, expected) in cases.items():
            (root / "index.html").write_text(page)
            found = check_manual(root)
            if not any(expected in fault for fault in found):
                failures.append(f"not found: {name} (got {found})")
        (root / "index.html").write_text(good_page)
        (root / "images" / "unused.png").write_bytes(b"\x89PNG")
        if not any("used by no page" in f for f in check_manual(root)):
            failures.append("not found: image used by no page")
        (root / "images" / "unused.png").unlink()
        (root / "orphan.html").write_text(good_page)
        if not any("orphan.html: not listed" in f for f in check_manual(root)):
            failures.append("not found: page missing from the navigation")
        (root / "orphan.html").unlink()
        if not any("more than the 3 allowed" in f for f in check_manual(root, image_budget=3)):
            failures.append("not found: pictures over their size budget")
        (root / "style.css").write_text("body { background: url(images/gone.png); }\n")
        if not any("url(images/gone.png) does not exist" in f for f in check_manual(root)):
            failures.append("not found: style sheet image that does not exist")
    for failure in failures:
        print(failure)
    print(f"self-test: {len(cases) + 5 - len(failures)} of {len(cases) + 5} checks behave")
    return 1 if failures else 0


def main(arguments):
    if arguments == ["--self-test"]:
        return self_test()
    if len(arguments) != 1:
        print(__doc__)
        return 2
    faults = check_manual(arguments[0])
    for fault in faults:
        print(fault)
    pages = len(list(pathlib.Path(arguments[0]).glob("*.html")))
    print(f"{pages} pages checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
