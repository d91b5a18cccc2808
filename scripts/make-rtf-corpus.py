#!/usr/bin/env python3
"""Writes the RTF corpus under tests/richtext/corpus: varied source documents
(HTML and Markdown, made here from fixed random choices) turned into RTF by
LibreOffice, AbiWord and pandoc, a few files written by hand, and LibreOffice's own
plain-text extraction of each RTF beside it as the expected text. Needs soffice,
abiword, pandoc and ImageMagick's convert; the tests only read what it wrote.

    make-rtf-corpus.py [general|features|hand|all] [COUNT]

"general" makes the docNN files, "features" the featNN files (background colours,
headings from styles, tables with header rows, fonts not installed here, struck
text, capitals, floating pictures), "hand" the hand-written hand-*.rtf files; each
set replaces only its own files."""
import base64, os, random, shutil, subprocess, sys, tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "richtext", "corpus")
rng = random.Random(20261208)

WORDS = ("editor text plain rich window file line save open close quick brown fox jumps "
         "over lazy dog paragraph format table list item link picture font colour size").split()
SCRIPTS = ["Привет мир, как дела", "Καλημέρα κόσμε", "日本語のテキスト", "中文文本测试",
           "한국어 텍스트", "שלום עולם", "مرحبا بالعالم", "Zażółć gęślą jaźń", "Çok güzel ğüşiö",
           "café naïve façade", "“curly” ‘quotes’ — dash – en … ellipsis", "€ £ ¥ © ® ™ ° ± µ"]
COLOURS = ["#c00000", "#0070c0", "#00b050", "#7030a0", "#ff9900"]
FONTS = ["Liberation Serif", "Liberation Sans", "DejaVu Sans Mono", "Courier New"]
# Fonts no Debian machine has: the document's names must survive all the same.
MISSING_FONTS = ["Garamond Premier Pro", "Frutiger LT 55 Roman", "Optima Nova", "Gill Sans MT"]
BACKGROUNDS = ["#ffff00", "#00ff00", "#00ffff", "#ff00ff", "#c0c0c0", "#ffcc99"]


def words(n):
    return " ".join(rng.choice(WORDS) for _ in range(n))


def image_file(path, r=None):
    r = r or rng
    colour = r.choice(["red", "blue", "green", "orange"])
    subprocess.run(["convert", "-size", "%dx%d" % (r.randint(8, 40), r.randint(8, 30)),
                    "xc:" + colour, "+set", "date:create", "+set", "date:modify", path], check=True)


def image_data(kind, r=None):
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "i." + kind)
        image_file(path, r)
        return base64.b64encode(open(path, "rb").read()).decode()


def inline():
    parts = []
    for _ in range(rng.randint(2, 6)):
        w = words(rng.randint(1, 5))
        style = rng.randint(0, 9)
        if style == 0: w = "<b>%s</b>" % w
        elif style == 1: w = "<i>%s</i>" % w
        elif style == 2: w = "<u>%s</u>" % w
        elif style == 3: w = "<s>%s</s>" % w
        elif style == 4: w = '<span style="color:%s">%s</span>' % (rng.choice(COLOURS), w)
        elif style == 5: w = '<span style="font-family:\'%s\'">%s</span>' % (rng.choice(FONTS), w)
        elif style == 6: w = '<span style="font-size:%dpt">%s</span>' % (rng.choice([8, 14, 18, 24]), w)
        elif style == 7: w = '<a href="http://example.com/%s">%s</a>' % (rng.randint(1, 99), w)
        elif style == 8: w = "x<sup>2</sup> H<sub>2</sub>O " + w
        parts.append(w)
    if rng.random() < 0.3:
        parts.append(rng.choice(SCRIPTS))
    return " ".join(parts)


def html_list(depth=0):
    tag = rng.choice(["ul", "ol"])
    items = []
    for _ in range(rng.randint(2, 4)):
        item = inline()
        if depth < 2 and rng.random() < 0.3:
            item += html_list(depth + 1)
        items.append("<li>%s</li>" % item)
    return "<%s>%s</%s>" % (tag, "".join(items), tag)


def html_table(nested=False):
    rows = []
    for _ in range(rng.randint(1, 4)):
        cells = []
        for _ in range(rng.randint(1, 4)):
            content = words(rng.randint(1, 4))
            if not nested and rng.random() < 0.1:
                content += html_table(True)
            cells.append("<td>%s</td>" % content)
        rows.append("<tr>%s</tr>" % "".join(cells))
    return '<table border="1">%s</table>' % "".join(rows)


def html_document():
    blocks = []
    for _ in range(rng.randint(3, 10)):
        kind = rng.randint(0, 9)
        if kind == 0: blocks.append("<h%d>%s</h%d>" % (rng.randint(1, 3), words(3), rng.randint(1, 3)))
        elif kind == 1: blocks.append(html_list())
        elif kind == 2: blocks.append(html_table())
        elif kind == 3:
            fmt = rng.choice(["png", "jpeg"])
            blocks.append('<p>%s <img src="data:image/%s;base64,%s"> %s</p>'
                          % (words(2), fmt, image_data("png" if fmt == "png" else "jpg"), words(2)))
        elif kind == 4:
            blocks.append('<p style="text-align:%s">%s</p>' % (rng.choice(["center", "right", "justify"]), inline()))
        elif kind == 5:
            blocks.append('<p style="margin-left:%.1fcm">%s</p>' % (rng.uniform(0.5, 3), inline()))
        else: blocks.append("<p>%s</p>" % inline())
    return ('<html><head><meta charset="utf-8"><title>t</title></head><body>%s</body></html>'
            % "\n".join(blocks))


def md_document():
    blocks = []
    for _ in range(rng.randint(3, 10)):
        kind = rng.randint(0, 6)
        if kind == 0: blocks.append("#" * rng.randint(1, 3) + " " + words(3))
        elif kind == 1:
            blocks.append("\n".join("%s %s" % (rng.choice(["-", "1."]), words(4)) for _ in range(3)))
        elif kind == 2:
            blocks.append("| a | b |\n|---|---|\n| %s | %s |\n| %s | %s |" % tuple(words(2) for _ in range(4)))
        elif kind == 3: blocks.append("%s[^%d] %s\n\n[^%d]: %s" % (words(3), len(blocks), words(2), len(blocks), words(3)))
        elif kind == 4: blocks.append("> " + words(8))
        elif kind == 5: blocks.append("**%s** *%s* `%s` [%s](http://example.com) %s"
                                      % (words(2), words(2), words(1), words(2), rng.choice(SCRIPTS)))
        else: blocks.append(words(rng.randint(5, 30)))
    return "\n\n".join(blocks) + "\n"


# The features set: its own random sequence, so the general set stays as it was.
frng = random.Random(20261209)


def fwords(n):
    return " ".join(frng.choice(WORDS) for _ in range(n))


def feature_inline():
    parts = []
    for _ in range(frng.randint(3, 7)):
        w = fwords(frng.randint(1, 4))
        style = frng.randint(0, 9)
        if style == 0: w = '<span style="background:%s">%s</span>' % (frng.choice(BACKGROUNDS), w)
        elif style == 1: w = '<span style="background-color:%s">%s</span>' % (frng.choice(BACKGROUNDS), w)
        elif style == 2: w = '<span style="font-family:\'%s\'">%s</span>' % (frng.choice(MISSING_FONTS), w)
        elif style == 3: w = "<s>%s</s>" % w
        elif style == 4: w = '<span style="font-variant:small-caps">%s</span>' % w
        elif style == 5: w = '<span style="text-transform:uppercase">%s</span>' % w
        elif style == 6: w = '<span style="font-size:%dpt">%s</span>' % (frng.choice([9, 14, 20]), w)
        elif style == 7: w = "<b>%s</b>" % w
        parts.append(w)
    return " ".join(parts)


def feature_table():
    columns = frng.randint(2, 4)
    head = "".join("<th>%s</th>" % fwords(frng.randint(1, 2)) for _ in range(columns))
    body = "".join("<tr>%s</tr>" % "".join("<td>%s</td>" % fwords(frng.randint(1, 3))
                                          for _ in range(columns))
                   for _ in range(frng.randint(1, 3)))
    return '<table border="1"><thead><tr>%s</tr></thead><tbody>%s</tbody></table>' % (head, body)


def feature_html():
    blocks = []
    for _ in range(frng.randint(4, 9)):
        kind = frng.randint(0, 5)
        if kind == 0:
            level = frng.randint(1, 3)
            blocks.append("<h%d>%s</h%d>" % (level, fwords(3), level))
        elif kind == 1: blocks.append(feature_table())
        elif kind == 2:
            # Floating pictures are shapes in LibreOffice's RTF.
            fmt = frng.choice(["png", "jpeg"])
            blocks.append('<p>%s <img src="data:image/%s;base64,%s" style="float:%s"> %s</p>'
                          % (fwords(3), fmt, image_data("png" if fmt == "png" else "jpg", frng),
                             frng.choice(["left", "right"]), fwords(4)))
        else: blocks.append("<p>%s</p>" % feature_inline())
    return ('<html><head><meta charset="utf-8"><title>t</title></head><body>%s</body></html>'
            % "\n".join(blocks))


def feature_md():
    blocks = []
    for _ in range(frng.randint(4, 9)):
        kind = frng.randint(0, 5)
        if kind == 0: blocks.append("#" * frng.randint(1, 3) + " " + fwords(3))
        elif kind == 1:
            columns = frng.randint(2, 3)
            rows = ["| " + " | ".join(fwords(2) for _ in range(columns)) + " |"
                    for _ in range(frng.randint(2, 4))]
            rows.insert(1, "|" + "---|" * columns)
            blocks.append("\n".join(rows))
        elif kind == 2: blocks.append("%s ![](pic.png) %s" % (fwords(3), fwords(3)))
        elif kind == 3: blocks.append("%s ~~%s~~ [%s]{.smallcaps} %s"
                                      % (fwords(2), fwords(2), fwords(2), fwords(3)))
        else: blocks.append(fwords(frng.randint(5, 20)))
    return "\n\n".join(blocks) + "\n"


# Written by hand, as small programs and rich-edit controls write RTF: every form of
# struck text, capitals, hidden text, a picture inside a shape and in its result.
# Both strike words turned off come last: LibreOffice ignores any \strike after
# \strike0\striked0, so a later \strike would test its reading, not ours.
HAND = {
    "hand-strike.rtf":
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs20\\b bold \\strike bold struck\\b0  struck only"
        "\\strike0  neither\\par\n"
        "plain \\strike struck\\strike0  after \\striked1 double\\striked0  end "
        "\\strike\\striked1 both\\strike0\\striked0  done\\par\n}\n",
    "hand-caps.rtf":
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Serif;}}\n"
        "\\pard Keep {\\caps upper-case transform} and {\\scaps Small Caps Words} as "
        "typed\\par\n\\pard {\\caps Mixed} {\\scaps\\b bold small} plain\\par\n}\n",
    "hand-hidden.rtf":
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Sans;}}\n"
        "\\pard Shown {\\v hidden words }and shown again\\par\n}\n",
}


def hand_shapes():
    """A picture as LibreOffice writes a floating one, and one given only as a shape's result."""
    r = random.Random(20261210)
    pngs = [base64.b64decode(image_data("png", r)).hex() for _ in range(3)]
    pict = "{\\pict\\picw16\\pich12\\picwgoal240\\pichgoal180\\pngblip\n%s}"
    return ("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Liberation Serif;}}\n"
            "\\pard before {\\shp{\\*\\shpinst\\shpleft0\\shpright240\\shptop0\\shpbottom180"
            "{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv " + pict % pngs[0] + "}}}"
            "{\\shprslt{\\*\\shppict" + pict % pngs[0] + "}}} middle "
            "{\\shp{\\*\\shpinst\\shpleft0\\shpright240\\shptop0\\shpbottom180"
            "{\\sp{\\sn shapeType}{\\sv 75}}}{\\shprslt " + pict % pngs[1] + "}} after"
            "\\par\n\\pard inline " + pict % pngs[2] + " end\\par\n}\n")


def run(cmd, cwd):
    subprocess.run(cmd, cwd=cwd, check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)


def convert_all(work, html_names, md_names, rtf_dir):
    """Each source through each tool; the RTF files land in rtf_dir."""
    lo = os.path.join(work, "lo"); ab = os.path.join(work, "ab"); pd = os.path.join(work, "pd")
    for d in (lo, ab, pd):
        os.makedirs(d)
    # LibreOffice from HTML and from Word files made by pandoc.
    run(["soffice", "--headless", "--infilter=HTML (StarWriter)", "--convert-to", "rtf",
         "--outdir", lo] + [n + ".html" for n in html_names], work)
    for n in md_names:
        run(["pandoc", n + ".md", "-o", n + ".docx"], work)
        run(["pandoc", n + ".md", "-s", "-t", "rtf", "-o", os.path.join(pd, n + ".rtf")], work)
    run(["soffice", "--headless", "--convert-to", "rtf", "--outdir", lo]
        + [n + ".docx" for n in md_names], work)
    for n in html_names:
        run(["abiword", "--to=rtf", "-o", os.path.join(ab, n + ".rtf"), n + ".html"], work)
    for n in md_names:
        run(["abiword", "--to=rtf", "-o", os.path.join(ab, n + ".rtf"), n + ".docx"], work)
    made = []
    for producer, d in (("lo", lo), ("ab", ab), ("pd", pd)):
        for f in sorted(os.listdir(d)):
            if f.endswith(".rtf") and os.path.getsize(os.path.join(d, f)) < 400000:
                name = "%s-%s" % (producer, f)
                shutil.copy(os.path.join(d, f), os.path.join(rtf_dir, name))
                made.append(name)
    return made


def clear(rtf_dir, expected_dir, matches):
    for d in (rtf_dir, expected_dir):
        for f in os.listdir(d):
            if matches(f):
                os.remove(os.path.join(d, f))


def main():
    which = sys.argv[1] if len(sys.argv) > 1 else "all"
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    rtf_dir = os.path.join(ROOT, "rtf")
    expected_dir = os.path.join(ROOT, "expected")
    os.makedirs(rtf_dir, exist_ok=True)
    os.makedirs(expected_dir, exist_ok=True)
    made = []
    if which in ("general", "all"):
        clear(rtf_dir, expected_dir, lambda f: "-doc" in f)
        with tempfile.TemporaryDirectory() as work:
            html_names, md_names = [], []
            for i in range(count):
                name = "doc%02d" % i
                open(os.path.join(work, name + ".html"), "w").write(html_document())
                html_names.append(name)
                open(os.path.join(work, name + "m.md"), "w").write(md_document())
                md_names.append(name + "m")
            made += convert_all(work, html_names, md_names, rtf_dir)
    if which in ("features", "all"):
        clear(rtf_dir, expected_dir, lambda f: "-feat" in f)
        with tempfile.TemporaryDirectory() as work:
            image_file(os.path.join(work, "pic.png"), frng)
            html_names, md_names = [], []
            for i in range(count // 4):
                name = "feat%02d" % i
                open(os.path.join(work, name + ".html"), "w").write(feature_html())
                html_names.append(name)
                open(os.path.join(work, name + "m.md"), "w").write(feature_md())
                md_names.append(name + "m")
            made += convert_all(work, html_names, md_names, rtf_dir)
    if which in ("hand", "all"):
        clear(rtf_dir, expected_dir, lambda f: f.startswith("hand-"))
        files = dict(HAND)
        files["hand-shapes.rtf"] = hand_shapes()
        for name, text in files.items():
            open(os.path.join(rtf_dir, name), "w", newline="\n").write(text)
            made.append(name)
    with tempfile.TemporaryDirectory() as work:
        run(["soffice", "--headless", "--infilter=Rich Text Format", "--convert-to",
             "txt:Text (encoded):UTF8", "--outdir", expected_dir]
            + [os.path.join(rtf_dir, n) for n in made], work)
    print("%d RTF files made, %d in the corpus" % (len(made), len(os.listdir(rtf_dir))))


if __name__ == "__main__":
    main()
