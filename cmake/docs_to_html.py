#!/usr/bin/env python3
"""Turns the documentation pages (docs/*.md) into HTML pages that stand on
their own, for the package to install and the window to open.

    docs_to_html.py OUTPUT-FOLDER PAGE.md...

Each PAGE.md becomes OUTPUT-FOLDER/PAGE.html. Links between the pages lead
to their HTML; pictures are copied into OUTPUT-FOLDER/images/; links to
anything else of the source tree (source files, the README) keep their words
and lose the link, since only the pages are installed. Links to the web stay.
"""
import html
import os
import shutil
import sys

import markdown
from markdown.extensions import Extension
from markdown.treeprocessors import Treeprocessor

STYLE = """
body { font-family: sans-serif; line-height: 1.5; max-width: 52em; margin: 1em auto; padding: 0 1em; color: #202020; background: #fff; }
code, pre { font-family: monospace; background: #f2f2f2; }
pre { padding: 0.5em; overflow-x: auto; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 0.2em 0.5em; vertical-align: top; text-align: left; }
img { max-width: 100%; }
td:first-child code { white-space: nowrap; }
"""


def is_web(target):
    return "://" in target or target.startswith("mailto:")


class Links(Treeprocessor):
    def __init__(self, md, page_dir, pages, images):
        super().__init__(md)
        self.page_dir = page_dir
        self.pages = pages
        self.images = images

    def run(self, root):
        for element in root.iter():
            if element.tag == "img":
                source = element.get("src", "")
                if source and not is_web(source):
                    path = os.path.normpath(os.path.join(self.page_dir, source))
                    name = os.path.basename(path)
                    self.images[name] = path
                    element.set("src", "images/" + name)
            elif element.tag == "a":
                target = element.get("href", "")
                if not target or target.startswith("#") or is_web(target):
                    continue
                file, _, fragment = target.partition("#")
                path = os.path.normpath(os.path.join(self.page_dir, file))
                if path in self.pages:
                    page = os.path.splitext(os.path.basename(path))[0] + ".html"
                    element.set("href", page + ("#" + fragment if fragment else ""))
                else:
                    element.tag = "span"
                    del element.attrib["href"]


class LinkExtension(Extension):
    def __init__(self, page_dir, pages, images):
        super().__init__()
        self.args = (page_dir, pages, images)

    def extendMarkdown(self, md):
        md.treeprocessors.register(Links(md, *self.args), "tvc_links", 0)


def title_of(text):
    for line in text.splitlines():
        if line.startswith("# "):
            return line[2:].strip().replace("`", "")
    return "Tavero Companion"


def main():
    out_dir = sys.argv[1]
    pages = {os.path.normpath(os.path.abspath(p)) for p in sys.argv[2:]}
    images = {}
    os.makedirs(out_dir, exist_ok=True)
    for page in sorted(pages):
        with open(page, encoding="utf-8") as f:
            text = f.read()
        body = markdown.markdown(
            text,
            extensions=["extra", "toc", "sane_lists", LinkExtension(os.path.dirname(page), pages, images)],
            output_format="html",
        )
        name = os.path.splitext(os.path.basename(page))[0] + ".html"
        with open(os.path.join(out_dir, name), "w", encoding="utf-8") as f:
            f.write('<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n'
                    '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
                    f"<title>{html.escape(title_of(text))}</title>\n<style>{STYLE}</style>\n"
                    f"</head>\n<body>\n{body}\n</body>\n</html>\n")
    if images:
        os.makedirs(os.path.join(out_dir, "images"), exist_ok=True)
    for name, path in sorted(images.items()):
        shutil.copyfile(path, os.path.join(out_dir, "images", name))


if __name__ == "__main__":
    main()
