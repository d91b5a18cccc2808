#!/usr/bin/env python3
"""Writes the RTF corpus under tests/richtext/corpus: varied source documents
(HTML and Markdown, made here from fixed random choices) turned into RTF by
LibreOffice, AbiWord and pandoc, with LibreOffice's own plain-text extraction of
each RTF beside it as the expected text. Needs soffice, abiword, pandoc and
ImageMagick's convert; the tests only read what it wrote."""
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


def words(n):
    return " ".join(rng.choice(WORDS) for _ in range(n))


def image_data(kind):
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "i." + kind)
        colour = rng.choice(["red", "blue", "green", "orange"])
        subprocess.run(["convert", "-size", "%dx%d" % (rng.randint(8, 40), rng.randint(8, 30)),
                        "xc:" + colour, path], check=True)
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


def run(cmd, cwd):
    subprocess.run(cmd, cwd=cwd, check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 40
    rtf_dir = os.path.join(ROOT, "rtf")
    expected_dir = os.path.join(ROOT, "expected")
    shutil.rmtree(rtf_dir, ignore_errors=True)
    shutil.rmtree(expected_dir, ignore_errors=True)
    os.makedirs(rtf_dir)
    os.makedirs(expected_dir)
    with tempfile.TemporaryDirectory() as work:
        html_names, md_names = [], []
        for i in range(count):
            name = "doc%02d" % i
            open(os.path.join(work, name + ".html"), "w").write(html_document())
            html_names.append(name)
            open(os.path.join(work, name + "m.md"), "w").write(md_document())
            md_names.append(name + "m")
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
        for producer, d in (("lo", lo), ("ab", ab), ("pd", pd)):
            for f in sorted(os.listdir(d)):
                if f.endswith(".rtf") and os.path.getsize(os.path.join(d, f)) < 400000:
                    shutil.copy(os.path.join(d, f), os.path.join(rtf_dir, "%s-%s" % (producer, f)))
        names = sorted(os.listdir(rtf_dir))
        run(["soffice", "--headless", "--infilter=Rich Text Format", "--convert-to",
             "txt:Text (encoded):UTF8", "--outdir", expected_dir] + [os.path.join(rtf_dir, n) for n in names], work)
    print("%d RTF files" % len(os.listdir(rtf_dir)))


if __name__ == "__main__":
    main()
