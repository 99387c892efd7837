#!/usr/bin/env python3
"""Draws the tree images, the check-state images and the program icon as small SVG files.

Run from the project folder: python3 tools/icons/make_icons.py
Every image is drawn on a 32 x 32 grid and shown at 16 px in the tree (and larger on high-DPI
screens), so shapes are bold and few.
"""
import pathlib

OUT = pathlib.Path(__file__).resolve().parents[2] / "resources" / "icons"

INK = "#2b3440"
GREEN = "#2e9d4f"
BLUE = "#2f6fcf"
RED = "#d23a2f"
AMBER = "#e3a21a"
PAPER = "#fdfdf8"


def svg(body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">'
            + body + "</svg>\n")


def bubble(fill):
    return (f'<path d="M4 5h24a2 2 0 0 1 2 2v13a2 2 0 0 1-2 2H13l-6 6v-6H4a2 2 0 0 1-2-2V7a2 2 0 0 1 2-2z" '
            f'fill="{fill}" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>')


def envelope(fill):
    return (f'<rect x="2" y="7" width="24" height="17" rx="2" fill="{fill}" stroke="{INK}" stroke-width="1.6"/>'
            f'<path d="M3 8l11 9 11-9" fill="none" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>')


def arrow(direction, colour, x=24, y=22):
    # A bold arrow in a disc at (x, y): "out" points up-right, "in" down-left.
    if direction == "out":
        path = f"M{x-3} {y+3}l6-6m-5 0h5v5"
    else:
        path = f"M{x+3} {y-3}l-6 6m0-5v5h5"
    return (f'<circle cx="{x}" cy="{y}" r="7" fill="{colour}" stroke="#fff" stroke-width="1.2"/>'
            f'<path d="{path}" fill="none" stroke="#fff" stroke-width="2.2" stroke-linecap="round" '
            'stroke-linejoin="round"/>')


def handset(colour):
    return (f'<path d="M7 3c-2 0-4 2-4 5 0 11 10 21 21 21 3 0 5-2 5-4v-3l-6-3-3 3c-4-2-7-5-9-9l3-3-3-7z" '
            f'fill="{colour}" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>')


def book(fill):
    return (f'<path d="M6 3h20v26H6a2 2 0 0 1-2-2V5a2 2 0 0 1 2-2z" fill="{fill}" stroke="{INK}" stroke-width="1.6"/>'
            f'<path d="M8 3v26" stroke="{INK}" stroke-width="1.4"/>')


def person(cx, cy, colour, scale=1.0):
    r = 3.6 * scale
    return (f'<circle cx="{cx}" cy="{cy - 4 * scale}" r="{r}" fill="{colour}"/>'
            f'<path d="M{cx - 7 * scale} {cy + 8 * scale}a{7 * scale} {7 * scale} 0 0 1 {14 * scale} 0z" fill="{colour}"/>')


def page(fill=PAPER, lines=True):
    body = (f'<path d="M7 2h13l6 6v22H7z" fill="{fill}" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>'
            f'<path d="M20 2v6h6" fill="none" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>')
    if lines:
        body += "".join(f'<path d="M10 {y}h13" stroke="{BLUE}" stroke-width="1.6"/>' for y in (13, 17, 21, 25))
    return body


def calendar_page(header, marks=True):
    body = (f'<rect x="3" y="5" width="26" height="24" rx="2" fill="{PAPER}" stroke="{INK}" stroke-width="1.6"/>'
            f'<path d="M3 7a2 2 0 0 1 2-2h22a2 2 0 0 1 2 2v5H3z" fill="{header}" stroke="{INK}" stroke-width="1.6"/>'
            f'<path d="M9 2v6M23 2v6" stroke="{INK}" stroke-width="2.2" stroke-linecap="round"/>')
    if marks:
        for y in (16, 21, 26):
            for x in (7, 13, 19, 25):
                body += f'<rect x="{x - 1.5}" y="{y - 1.5}" width="3" height="3" fill="{INK}"/>'
    return body


def check_box(state):
    body = f'<rect x="4" y="4" width="24" height="24" rx="3" fill="#fff" stroke="{INK}" stroke-width="2"/>'
    if state == "some":
        body += f'<rect x="9" y="9" width="14" height="14" rx="1.5" fill="{BLUE}" opacity="0.55"/>'
    if state == "all":
        body += (f'<path d="M8 16.5l5.5 5.5L24.5 10" fill="none" stroke="{GREEN}" stroke-width="4" '
                 'stroke-linecap="round" stroke-linejoin="round"/>')
    return body


ICONS = {
    "smsin": bubble("#dff3e4") + arrow("in", GREEN),
    "missed": handset(RED) + f'<path d="M19 4l8 8m0-8l-8 8" stroke="{RED}" stroke-width="3" stroke-linecap="round"/>',
    "placed": handset(BLUE) + arrow("out", BLUE, 24, 8),
    "received": handset(GREEN) + arrow("in", GREEN, 24, 8),
    "sent": envelope("#e3ecfb") + arrow("out", BLUE),
    "receivedsms": envelope("#dff3e4") + arrow("in", GREEN),
    "addressbook": book("#f4d9a7") + person(18, 15, INK),
    "calendars": calendar_page(RED),
    "memos": page("#fff7c2"),
    "phonecalls": handset(INK),
    "servicebook": book("#cfe0f5")
    + f'<circle cx="18" cy="16" r="5.5" fill="none" stroke="{INK}" stroke-width="3" stroke-dasharray="3 2.2"/>'
    + f'<circle cx="18" cy="16" r="2" fill="{INK}"/>',
    "tasks": page(PAPER, False)
    + "".join(f'<path d="M10 {y}l2 2 3-4" fill="none" stroke="{GREEN}" stroke-width="2" stroke-linecap="round"/>'
              f'<path d="M17 {y+1}h6" stroke="{INK}" stroke-width="1.6"/>' for y in (12, 18, 24)),
    "errorsms": bubble("#fbe0dd")
    + f'<path d="M16 8v7" stroke="{RED}" stroke-width="3.2" stroke-linecap="round"/>'
    + f'<circle cx="16" cy="19" r="1.8" fill="{RED}"/>',
    "task": check_box("all"),
    "memo": f'<path d="M4 4h24v17l-7 7H4z" fill="#fff1a0" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>'
    + f'<path d="M28 21h-7v7" fill="#e8d66c" stroke="{INK}" stroke-width="1.4" stroke-linejoin="round"/>'
    + "".join(f'<path d="M8 {y}h15" stroke="{INK}" stroke-width="1.4"/>' for y in (10, 14, 18)),
    "calendar": calendar_page(BLUE, False)
    + f'<text x="16" y="26" font-family="sans-serif" font-size="13" font-weight="bold" text-anchor="middle" fill="{INK}">31</text>',
    "ballon": f'<ellipse cx="16" cy="13" rx="13" ry="10" fill="#e3ecfb" stroke="{INK}" stroke-width="1.6"/>'
    + f'<path d="M9 21l-3 8 9-6" fill="#e3ecfb" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>',
    "db": f'<path d="M5 7v18c0 2.5 5 4.5 11 4.5s11-2 11-4.5V7" fill="#d7e3f2" stroke="{INK}" stroke-width="1.6"/>'
    + f'<ellipse cx="16" cy="7" rx="11" ry="4.5" fill="#eef4fb" stroke="{INK}" stroke-width="1.6"/>'
    + f'<path d="M5 13c0 2.5 5 4.5 11 4.5s11-2 11-4.5M5 19c0 2.5 5 4.5 11 4.5s11-2 11-4.5" fill="none" stroke="{INK}" stroke-width="1.4"/>',
    "excel": f'<rect x="3" y="4" width="26" height="24" rx="2" fill="#e5f4ea" stroke="#1d6b38" stroke-width="1.6"/>'
    + '<path d="M3 11h26M3 17h26M3 23h26M12 4v24M20 4v24" stroke="#1d6b38" stroke-width="1.3"/>',
    "smsout": bubble("#e3ecfb") + arrow("out", BLUE),
    "sms": bubble("#e3ecfb")
    + "".join(f'<circle cx="{x}" cy="13.5" r="2" fill="{INK}"/>' for x in (10, 16, 22)),
    "group": person(11, 15, "#7a8796", 0.9) + person(20, 16, INK),
    "mobile": f'<rect x="8" y="2" width="16" height="28" rx="3" fill="{INK}"/>'
    + '<rect x="10.5" y="6" width="11" height="14" rx="1" fill="#bfe0ff"/>'
    + "".join(f'<circle cx="{x}" cy="{y}" r="1.2" fill="#fff"/>' for y in (23.5, 26.5) for x in (12.5, 16, 19.5)),
    "sheet": page(),
    "world": f'<circle cx="16" cy="16" r="13" fill="#cfe6fb" stroke="{BLUE}" stroke-width="1.8"/>'
    + f'<ellipse cx="16" cy="16" rx="5.5" ry="13" fill="none" stroke="{BLUE}" stroke-width="1.5"/>'
    + f'<path d="M3 16h26M5 9.5h22M5 22.5h22" stroke="{BLUE}" stroke-width="1.5"/>',
    "mail": envelope(PAPER),
    "bookmark": f'<path d="M8 3h16v26l-8-6-8 6z" fill="#f6c343" stroke="{INK}" stroke-width="1.6" stroke-linejoin="round"/>',
    "clock": f'<circle cx="16" cy="16" r="13" fill="{PAPER}" stroke="{INK}" stroke-width="1.8"/>'
    + f'<path d="M16 8v8l6 4" fill="none" stroke="{BLUE}" stroke-width="2.4" stroke-linecap="round"/>',
    "check-none": check_box("none"),
    "check-some": check_box("some"),
    "check-all": check_box("all"),
    "orrelin": f'<rect x="2" y="2" width="28" height="28" rx="6" fill="#1f4e8c"/>'
    + '<rect x="9" y="5" width="14" height="22" rx="2.5" fill="#0f2a4d" stroke="#9cc4f5" stroke-width="1.2"/>'
    + '<rect x="11" y="8" width="10" height="8" rx="1" fill="#9cc4f5"/>'
    + "".join(f'<circle cx="{x}" cy="{y}" r="1.1" fill="#9cc4f5"/>' for y in (19.5, 22.5) for x in (13, 16, 19)),
}


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for name, body in ICONS.items():
        (OUT / f"{name}.svg").write_text(svg(body))
    qrc = ['<!DOCTYPE RCC><RCC version="1.0">', "<qresource>"]
    qrc += [f"    <file>icons/{name}.svg</file>" for name in ICONS]
    qrc += ["</qresource>", "</RCC>", ""]
    (OUT.parent / "orrelin.qrc").write_text("\n".join(qrc))


if __name__ == "__main__":
    main()
