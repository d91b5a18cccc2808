#!/usr/bin/env python3
"""Writes the small fallback icons under data/icons/quillora (run from the checkout).

They stand in for freedesktop icon names that the installed theme lacks. The
mid-tone strokes and the blue accent stay readable on light and dark panels.
"""
import os

INK = "#7a8a9a"
ACCENT = "#3584e4"
WARN = "#e5534b"
ROOT = os.path.join(os.path.dirname(__file__), "..", "data", "icons", "quillora", "scalable")

def svg(body, size=16):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 16 16" fill="none" stroke="{INK}" stroke-width="1.2" '
            f'stroke-linecap="round" stroke-linejoin="round">{body}</svg>\n')

PAGE = '<path d="M3.5 1.5h6l3 3v10h-9z"/><path d="M9.5 1.5v3h3"/>'
FOLDER = f'<path d="M1.5 3.5h5l1.5 1.5h6.5v8.5h-13z" fill="{ACCENT}" fill-opacity=".35"/>'
FLOPPY = (f'<path d="M2.5 2.5h9l2 2v9h-11z"/><rect x="5" y="2.5" width="5" height="3.5"/>'
          f'<rect x="4.5" y="9" width="7" height="4.5" fill="{ACCENT}" fill-opacity=".35"/>')
PLUS = f'<path d="M11.5 9v6M8.5 12h6" stroke="{ACCENT}" stroke-width="1.8"/>'
LENS = '<circle cx="6.5" cy="6.5" r="4"/><path d="M9.5 9.5l5 5" stroke-width="2"/>'

def letters(text, extra="", weight="normal", style="normal"):
    return (f'<text x="8" y="12.5" font-family="sans-serif" font-size="12" font-weight="{weight}" '
            f'font-style="{style}" text-anchor="middle" fill="{INK}" stroke="none">{text}</text>{extra}')

def lines(widths, align):
    out = []
    for i, w in enumerate(widths):
        y = 3 + i * 3.3
        x = {"left": 2, "center": 8 - w / 2, "right": 14 - w}[align]
        out.append(f'<path d="M{x} {y}h{w}"/>')
    return "".join(out)

ACTIONS = {
    "document-new": PAGE + PLUS,
    "document-open": FOLDER,
    "document-save": FLOPPY,
    "document-save-as": FLOPPY + f'<path d="M9 15l5-5" stroke="{ACCENT}" stroke-width="1.8"/>',
    "document-print": (f'<rect x="4" y="1.5" width="8" height="4"/><rect x="1.5" y="5.5" width="13" height="6" '
                       f'fill="{ACCENT}" fill-opacity=".35"/><rect x="4" y="9.5" width="8" height="5" fill="#fff"/>'),
    "document-page-setup": PAGE + '<path d="M5.5 7h5M5.5 9.5h5M5.5 12h3"/>',
    "document-preview": PAGE + f'<circle cx="8" cy="9.5" r="2.5" stroke="{ACCENT}"/>',
    "application-exit": ('<path d="M9.5 2.5h-6v11h6"/>'
                         f'<path d="M7 8h7.5M12 5.5l2.5 2.5-2.5 2.5" stroke="{ACCENT}" stroke-width="1.6"/>'),
    "edit-undo": f'<path d="M4 6.5h6a3.5 3.5 0 0 1 0 7H6" stroke="{ACCENT}" stroke-width="1.6"/><path d="M6.5 3.5l-3 3 3 3"/>',
    "edit-cut": '<circle cx="4.5" cy="12" r="2.2"/><circle cx="11.5" cy="12" r="2.2"/><path d="M6 10.5l6-9M10 10.5l-6-9"/>',
    "edit-copy": '<rect x="1.5" y="1.5" width="8.5" height="10"/>' + f'<rect x="6" y="4.5" width="8.5" height="10" fill="{ACCENT}" fill-opacity=".35"/>',
    "edit-paste": ('<rect x="2.5" y="2.5" width="11" height="12"/>'
                   f'<rect x="5.5" y="1" width="5" height="3" fill="{ACCENT}"/><path d="M5 8h6M5 11h4"/>'),
    "edit-delete": f'<path d="M3.5 3.5l9 9M12.5 3.5l-9 9" stroke="{WARN}" stroke-width="2"/>',
    "edit-select-all": '<rect x="2" y="2" width="12" height="12" stroke-dasharray="2 1.5"/>' + f'<path d="M5 6h6M5 9h6" stroke="{ACCENT}"/>',
    "edit-find": LENS,
    "edit-find-replace": LENS + f'<path d="M11 2.5h3.5v3.5" stroke="{ACCENT}" stroke-width="1.5"/>',
    "edit-clear": f'<path d="M2.5 10.5l6-6 5 5-4 4h-4z" fill="{ACCENT}" fill-opacity=".35"/><path d="M6 14.5h8"/>',
    "edit-clear-all": f'<path d="M2 4.5h12M2 8h8M2 11.5h5"/><path d="M10.5 10l4 4M14.5 10l-4 4" stroke="{WARN}" stroke-width="1.6"/>',
    "view-refresh": f'<path d="M13 8a5 5 0 1 1-1.5-3.6" stroke="{ACCENT}" stroke-width="1.6"/><path d="M12.5 1.5v3.5H9"/>',
    "view-sort-ascending": f'<path d="M2 3.5h4M2 7h7M2 10.5h10"/><path d="M13 14V2M10.5 4.5L13 2l2.5 2.5" stroke="{ACCENT}"/>',
    "go-next": f'<path d="M2.5 8h11M9.5 4l4 4-4 4" stroke="{ACCENT}" stroke-width="1.8"/>',
    "go-up": f'<path d="M8 13.5v-11M4 6.5l4-4 4 4" stroke="{ACCENT}" stroke-width="1.8"/>',
    "help-contents": '<circle cx="8" cy="8" r="6.5"/>' + letters("?", weight="bold").replace(INK, ACCENT),
    "help-about": '<circle cx="8" cy="8" r="6.5"/>' + letters("i", weight="bold").replace(INK, ACCENT),
    "preferences-system": (f'<circle cx="8" cy="8" r="2.3" stroke="{ACCENT}" stroke-width="1.6"/>'
                           '<circle cx="8" cy="8" r="5.2" stroke-width="2.6" stroke-dasharray="2 2.08"/>'),
    "preferences-desktop-font": letters("A", weight="bold"),
    "format-text-bold": letters("B", weight="bold"),
    "format-text-italic": letters("I", style="italic", weight="bold"),
    "format-text-underline": letters("U", weight="bold").replace('y="12.5"', 'y="11"') + f'<path d="M3.5 14.5h9" stroke="{ACCENT}"/>',
    "format-text-strikethrough": letters("S", weight="bold") + f'<path d="M2 8.5h12" stroke="{ACCENT}" stroke-width="1.4"/>',
    "format-justify-left": lines([12, 8, 12, 6], "left"),
    "format-justify-center": lines([12, 8, 12, 6], "center"),
    "format-justify-right": lines([12, 8, 12, 6], "right"),
    "format-list-unordered": (f'<circle cx="3" cy="4" r="1.2" fill="{ACCENT}" stroke="none"/>'
                              f'<circle cx="3" cy="8" r="1.2" fill="{ACCENT}" stroke="none"/>'
                              f'<circle cx="3" cy="12" r="1.2" fill="{ACCENT}" stroke="none"/>'
                              '<path d="M6 4h8M6 8h8M6 12h8"/>'),
    "format-text-blockquote": ('<path d="M2.5 3.5h11M2.5 12.5h11"/>'
                               f'<path d="M4.5 6v3.5M7 6v3.5M9.5 6v3.5M12 6v3.5" stroke="{ACCENT}" stroke-width="1.6"/>'),
    "changes-prevent": f'<rect x="3" y="7" width="10" height="7.5" fill="{ACCENT}" fill-opacity=".35"/><path d="M5 7V5a3 3 0 0 1 6 0v2"/>',
    "tools-check-spelling": letters("a", weight="bold").replace('x="8"', 'x="5"') + f'<path d="M8 10l2.5 3 4.5-7" stroke="{ACCENT}" stroke-width="1.6"/>',
    "list-add": f'<path d="M8 2.5v11M2.5 8h11" stroke="{ACCENT}" stroke-width="2"/>',
    "list-remove": f'<path d="M2.5 8h11" stroke="{WARN}" stroke-width="2"/>',
    "folder-new": FOLDER + PLUS,
    "folder-open": FOLDER + f'<path d="M3 13.5l2-5.5h10l-2 5.5" fill="{ACCENT}" fill-opacity=".35"/>',
    "window-close": '<rect x="1.5" y="2.5" width="13" height="11"/>' + f'<path d="M5.5 5.5l5 5M10.5 5.5l-5 5" stroke="{WARN}" stroke-width="1.6"/>',
}

APP = ('<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">'
       '<path d="M12 4h28l12 12v44H12z" fill="#f6f5f4" stroke="#5e6d7e" stroke-width="2"/>'
       '<path d="M40 4v12h12" fill="#deddda" stroke="#5e6d7e" stroke-width="2"/>'
       '<path d="M19 26h18M19 33h22M19 40h14M19 47h20" stroke="#9a9996" stroke-width="2.5" stroke-linecap="round"/>'
       '<path d="M58 6C44 10 34 24 29 44l4 1C38 30 46 18 58 6z" fill="#3584e4" stroke="#1c71d8" stroke-width="1.5"/>'
       '<path d="M29 44l-2 8 6-7z" fill="#241f31"/></svg>\n')

INDEX = """[Icon Theme]
Name=Quillora
Comment=Fallback icons of the Quillora editor
Directories=scalable/actions,scalable/apps

[scalable/actions]
Size=16
MinSize=8
MaxSize=512
Type=Scalable
Context=Actions

[scalable/apps]
Size=64
MinSize=16
MaxSize=512
Type=Scalable
Context=Applications
"""

def main():
    for name, body in ACTIONS.items():
        with open(os.path.join(ROOT, "actions", name + ".svg"), "w") as f:
            f.write(svg(body))
    with open(os.path.join(ROOT, "apps", "quillora.svg"), "w") as f:
        f.write(APP)
    with open(os.path.join(ROOT, "..", "index.theme"), "w") as f:
        f.write(INDEX)

if __name__ == "__main__":
    main()
