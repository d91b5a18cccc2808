#!/usr/bin/env python3
"""Checks that RTF written by quillora-convert gives LibreOffice the same text and
formatting as the original, for every file of the RTF corpus. LibreOffice turns
both into HTML (its own HTML filter: the XHTML one hides most formatting in
classes); each character is compared with its emphasis, strike, capitals, font,
size, colour, background, link, paragraph alignment and indent, list and table
place, and the pictures are counted. Highlights and character backgrounds, which
LibreOffice's HTML leaves out, are compared in its flat ODF text instead. Prints each
departing file with where it first departs and every property that departs, then the
figures per tool (file name prefix) and the pictures before and after. Needs soffice and a built quillora-convert (build/src)."""
import collections, html.parser, os, re, subprocess, sys, tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
CORPUS = os.path.join(ROOT, "tests", "richtext", "corpus", "rtf")
CONVERT = os.path.join(ROOT, "build", "src", "quillora-convert")


class Runs(html.parser.HTMLParser):
    """Characters with the formatting in force, as LibreOffice's HTML shows it."""
    BLOCK = {"p", "h1", "h2", "h3", "h4", "h5", "h6", "li", "td", "th", "div"}

    def __init__(self):
        super().__init__()
        self.stack, self.chars, self.images = [], [], 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "img":
            self.images += 1
            return
        if tag in ("br", "meta", "link", "col", "colgroup"):
            return
        self.stack.append((tag, attrs))

    def handle_endtag(self, tag):
        for i in range(len(self.stack) - 1, -1, -1):
            if self.stack[i][0] == tag:
                del self.stack[i:]
                return

    def state(self):
        s = {"b": False, "i": False, "u": False, "s": False, "font": "", "size": "", "color": "",
             "background": "", "caps": "", "href": "", "align": "", "indent": "", "lists": (),
             "cell": 0}
        lists = []
        for tag, a in self.stack:
            style = a.get("style") or ""
            if tag in ("b", "strong"): s["b"] = True
            elif tag in ("i", "em"): s["i"] = True
            elif tag == "u": s["u"] = True
            elif tag in ("s", "strike", "del"): s["s"] = True
            elif tag == "a" and a.get("href"): s["href"] = a["href"]
            elif tag in ("ol", "ul"): lists.append(tag + (a.get("type") or ""))
            elif tag in ("td", "th"): s["cell"] += 1
            if tag == "font":
                s["font"] = a.get("face", s["font"]).split(",")[0].strip("'\" ")
                s["color"] = (a.get("color") or s["color"]).lower()
            m = re.search(r"font-size:\s*([\d.]+)pt", style)
            if m: s["size"] = "%.0f" % float(m.group(1))
            if "font-weight: bold" in style: s["b"] = True
            if "font-weight: normal" in style: s["b"] = False
            if "font-style: italic" in style: s["i"] = True
            if "font-style: normal" in style: s["i"] = False
            if "text-decoration: none" in style: s["u"] = s["s"] = False
            if "line-through" in style: s["s"] = True
            if "text-decoration: underline" in style: s["u"] = True
            m = re.search(r"background(?:-color)?:\s*(#[0-9a-fA-F]{6})", style)
            if m and tag not in self.BLOCK and tag not in ("table", "tr", "body"):
                s["background"] = m.group(1).lower()
            if "text-transform: uppercase" in style: s["caps"] = "caps"
            if "font-variant: small-caps" in style: s["caps"] = "small caps"
            if tag in self.BLOCK:
                s["align"] = (a.get("align") or "").lower()
                m = re.search(r"margin-left:\s*([-\d.]+)(in|cm)", style)
                s["indent"] = "%.1f" % (float(m.group(1)) * (2.54 if m and m.group(2) == "in" else 1)) if m else ""
        s["lists"] = tuple(lists)
        if s["align"] in ("left", "justify"):
            s["align"] = s["align"]
        return tuple(sorted(s.items()))

    def handle_data(self, data):
        if any(t in ("style", "title", "head") for t, _ in self.stack):
            return
        # Spaces are left out: where LibreOffice's HTML breaks its lines decides
        # whether they show, not the document.
        text = "".join(data.split())
        if text:
            st = self.state()
            self.chars.extend((c, st) for c in text)


def runs(path):
    p = Runs()
    p.feed(open(path, encoding="utf-8", errors="replace").read())
    return p


ODF = {"style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
       "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
       "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
       "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
       "loext": "urn:org:documentfoundation:names:experimental:office:xmlns:loext:1.0"}


def backgrounds(path):
    """The text under each highlight or character background, in order, as
    (colour and kind, text) pairs."""
    root = ET.parse(path).getroot()
    kinds = {}
    for st in root.iter("{%s}style" % ODF["style"]):
        props = st.find("style:text-properties", ODF)
        colour = props.get("{%s}background-color" % ODF["fo"]) if props is not None else None
        if colour and colour != "transparent":
            shading = props.get("{%s}char-shading-value" % ODF["loext"]) is not None
            kinds[st.get("{%s}name" % ODF["style"])] = colour + (" shading" if shading else " highlight")
    out = []
    body = root.find("office:body", ODF)
    for span in body.iter("{%s}span" % ODF["text"]):
        kind = kinds.get(span.get("{%s}style-name" % ODF["text"]))
        text = " ".join("".join(span.itertext()).split())
        if kind and text:
            if out and out[-1][0] == kind:
                out[-1] = (kind, out[-1][1] + " " + text)
            else:
                out.append((kind, text))
    return out


def main():
    names = sorted(f for f in os.listdir(CORPUS) if f.endswith(".rtf"))
    with tempfile.TemporaryDirectory() as work:
        back = os.path.join(work, "back"); orig = os.path.join(work, "orig"); outb = os.path.join(work, "outb")
        for d in (back, orig, outb):
            os.makedirs(d)
        for n in names:
            subprocess.run([CONVERT, os.path.join(CORPUS, n), os.path.join(back, n)], check=True)
        for src, dst in ((CORPUS, orig), (back, outb)):
            for target in ("html:HTML (StarWriter)", "fodt"):
                subprocess.run(["soffice", "--headless", "--infilter=Rich Text Format", "--convert-to",
                                target, "--outdir", dst] + [os.path.join(src, n) for n in names],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=1800)
        same = 0
        per_tool = collections.defaultdict(lambda: [0, 0])
        pictures = [0, 0]
        for n in names:
            h = n[:-4] + ".html"
            a, b = runs(os.path.join(orig, h)), runs(os.path.join(outb, h))
            tool = n.split("-")[0]
            per_tool[tool][1] += 1
            pictures[0] += a.images
            pictures[1] += b.images
            ba, bb = (backgrounds(os.path.join(d, n[:-4] + ".fodt")) for d in (orig, outb))
            if a.chars == b.chars and a.images == b.images and ba == bb:
                same += 1
                per_tool[tool][0] += 1
                continue
            if a.chars == b.chars and a.images == b.images:
                at = next((k for k in range(min(len(ba), len(bb))) if ba[k] != bb[k]), min(len(ba), len(bb)))
                print("%s: backgrounds %r vs %r" % (n, ba[at:at + 1], bb[at:at + 1]))
                continue
            at = next((k for k in range(min(len(a.chars), len(b.chars))) if a.chars[k] != b.chars[k]),
                      min(len(a.chars), len(b.chars)))
            why = "pictures %d/%d" % (a.images, b.images) if a.chars == b.chars else ""
            if not why and at < min(len(a.chars), len(b.chars)):
                da, db = dict(a.chars[at][1]), dict(b.chars[at][1])
                diff = {k: (da[k], db[k]) for k in da if da[k] != db[k]}
                why = "at %r: %s" % ("".join(c for c, _ in a.chars[max(0, at - 15):at + 15]), diff or
                                     "%r vs %r" % (a.chars[at][0], b.chars[at][0]))
            elif not why:
                why = "length %d vs %d" % (len(a.chars), len(b.chars))
            # Every property that differs somewhere, with how many characters, where
            # the text is the same.
            if [c for c, _ in a.chars] == [c for c, _ in b.chars]:
                counts = collections.Counter(
                    k for (_, sa), (_, sb) in zip(a.chars, b.chars) if sa != sb
                    for (k, va), (_, vb) in zip(sa, sb) if va != vb)
                why += "; in all: " + ", ".join("%s %d" % kv for kv in sorted(counts.items()))
            print("%s: %s" % (n, why))
        for tool, (good, total) in sorted(per_tool.items()):
            print("%s: %d of %d" % (tool, good, total))
        print("pictures: %d in the originals, %d after the round trip" % tuple(pictures))
        print("%d of %d documents keep their text and formatting (%.1f%%)"
              % (same, len(names), 100.0 * same / len(names)))


if __name__ == "__main__":
    main()
