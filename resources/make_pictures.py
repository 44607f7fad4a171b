#!/usr/bin/python3
"""Draws every picture of the program: button glyphs, launcher tiles, the
background tile, the logo, the animated launcher strip and the splash
window's background and sprite.

The pictures are committed; this script is only needed to change them.
It needs rsvg-convert (Debian package librsvg2-bin) and Pillow
(python3-pil) and the DejaVu fonts (fonts-dejavu-core).

    /usr/bin/python3 resources/make_pictures.py          # every picture
    /usr/bin/python3 resources/make_pictures.py splash   # the splash's two
    /usr/bin/python3 resources/make_pictures.py copia    # only the glyphs named
"""

import io
import math
import os
import subprocess
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "img")
PACKAGING = os.path.join(os.path.dirname(HERE), "packaging")

NAVY = "#1d3461"
BLUE = "#2f6fd0"
BLUE_L = "#7fb0ee"
SKY = "#dbe8fa"
GREEN = "#2e9d5b"
GREEN_L = "#5cc98a"
RED = "#d64541"
RED_D = "#8e2320"
AMBER = "#f5c04a"
AMBER_D = "#d48f12"
FONT = "DejaVu Sans"

# Gradients shared by the glyphs; each picture carries the whole set.
DEFS = f"""
<defs>
  <linearGradient id="lens" x1="0" y1="0" x2="1" y2="1">
    <stop offset="0" stop-color="#e8f2ff"/><stop offset="1" stop-color="{BLUE_L}"/>
  </linearGradient>
  <linearGradient id="blue" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#4f8ae0"/><stop offset="1" stop-color="#2458b0"/>
  </linearGradient>
  <linearGradient id="navy" x1="0" y1="0" x2="1" y2="1">
    <stop offset="0" stop-color="#2b4f8f"/><stop offset="1" stop-color="{NAVY}"/>
  </linearGradient>
  <linearGradient id="green" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="{GREEN_L}"/><stop offset="1" stop-color="{GREEN}"/>
  </linearGradient>
  <linearGradient id="red" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#ec6a5f"/><stop offset="1" stop-color="{RED}"/>
  </linearGradient>
  <linearGradient id="amber" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#ffd978"/><stop offset="1" stop-color="{AMBER}"/>
  </linearGradient>
  <linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">
    <stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#e6eefa"/>
  </linearGradient>
  <linearGradient id="logo" x1="0" y1="0" x2="1" y2="1">
    <stop offset="0" stop-color="#3a78d8"/><stop offset="1" stop-color="#152a52"/>
  </linearGradient>
  <linearGradient id="strip" x1="0" y1="0" x2="1" y2="0">
    <stop offset="0" stop-color="#14274a"/><stop offset="1" stop-color="#2a5db0"/>
  </linearGradient>
</defs>
"""


def svg(width, height, body, view=None):
    view = view or f"0 0 {width} {height}"
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="{view}">{DEFS}{body}</svg>')


def rasterise(text, width, height):
    png = subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height)],
                         input=text.encode(), stdout=subprocess.PIPE, check=True).stdout
    return Image.open(io.BytesIO(png)).convert("RGBA")


def save(image, name, folder=OUT):
    path = os.path.join(folder, name)
    image.save(path, optimize=True)
    print(path)


# --- 32 x 32 glyphs -------------------------------------------------------

def page(x=7, fold="#dbe8fa"):
    return (f'<path d="M{x} 3.5h12l6 6v19h-18z" fill="#fff" stroke="{NAVY}" stroke-width="1.5" '
            f'stroke-linejoin="round"/>'
            f'<path d="M{x + 12} 3.5v6h6" fill="{fold}" stroke="{NAVY}" stroke-width="1.5" '
            f'stroke-linejoin="round"/>')


def text_lines(x1, x2, ys, colour="#9db4d8", width=1.6):
    return "".join(f'<line x1="{x1}" y1="{y}" x2="{x2}" y2="{y}" stroke="{colour}" '
                   f'stroke-width="{width}" stroke-linecap="round"/>' for y in ys)


def round_badge(cx, cy, r, fill, inner):
    return (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{fill}" stroke="#fff" stroke-width="1.5"/>'
            + inner)


def letter(x, y, size, text, colour="#fff", weight="bold"):
    return (f'<text x="{x}" y="{y}" font-family="{FONT}" font-weight="{weight}" font-size="{size}" '
            f'fill="{colour}" text-anchor="middle">{text}</text>')


def person(cx, cy, r, fill, outline="#fff"):
    return (f'<path d="M{cx - 1.9 * r} {cy + 4.1 * r}a{1.9 * r} {2 * r} 0 0 1 {3.8 * r} 0z" fill="{fill}" '
            f'stroke="{outline}" stroke-width="3"/>'
            f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{fill}" stroke="{outline}" stroke-width="3"/>')


def envelope(x, y, w, h, angle=0, fill="#fff", flap=SKY, stroke=NAVY, sw=2):
    cx, cy = x + w / 2, y + h / 2
    return (f'<g transform="rotate({angle} {cx} {cy})">'
            f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{h * 0.08}" fill="{fill}" stroke="{stroke}" '
            f'stroke-width="{sw}"/>'
            f'<path d="M{x + sw / 2} {y + sw / 2}L{cx} {y + h * 0.58}L{x + w - sw / 2} {y + sw / 2}z" fill="{flap}" '
            f'stroke="{stroke}" stroke-width="{sw}" stroke-linejoin="round"/></g>')


GLYPHS = {
    # A blank page with a green plus: a new card.
    "nuovo": page() + text_lines(10.5, 18, [14, 18]) +
    round_badge(23, 23, 7, "url(#green)",
                '<path d="M23 19.2v7.6M19.2 23h7.6" stroke="#fff" stroke-width="2.3" '
                'stroke-linecap="round"/>'),

    # A diskette: store the card.
    "salva": f'<path d="M4.5 5.5a2 2 0 0 1 2-2h16.5l4.5 4.5v18a2 2 0 0 1-2 2h-19a2 2 0 0 1-2-2z" '
             f'fill="url(#blue)" stroke="{NAVY}" stroke-width="1.5" stroke-linejoin="round"/>'
             f'<rect x="9.5" y="3.5" width="12.5" height="8" fill="#e9eef6" stroke="{NAVY}" '
             f'stroke-width="1.2"/><rect x="17.5" y="5" width="2.8" height="5" fill="{NAVY}"/>'
             f'<rect x="8.5" y="16" width="15" height="11.5" rx="1" fill="#fff" stroke="{NAVY}" '
             f'stroke-width="1.2"/>' + text_lines(11, 21, [19.5, 23]),

    # Binoculars: the quick search.
    "trova": f'<rect x="5.5" y="5" width="7.5" height="11" rx="2" fill="url(#navy)"/>'
             f'<rect x="19" y="5" width="7.5" height="11" rx="2" fill="url(#navy)"/>'
             f'<rect x="12" y="9.5" width="8" height="5" fill="{NAVY}"/>'
             f'<circle cx="9.3" cy="20.8" r="7.2" fill="url(#navy)"/>'
             f'<circle cx="22.7" cy="20.8" r="7.2" fill="url(#navy)"/>'
             f'<circle cx="9.3" cy="20.8" r="4.6" fill="url(#lens)"/>'
             f'<circle cx="22.7" cy="20.8" r="4.6" fill="url(#lens)"/>'
             f'<circle cx="7.7" cy="19.2" r="1.3" fill="#fff"/>'
             f'<circle cx="21.1" cy="19.2" r="1.3" fill="#fff"/>',

    # A magnifying glass over several field lines: the search on many fields.
    "avanzate": f'<line x1="19.5" y1="19.5" x2="27.5" y2="27.5" stroke="{NAVY}" stroke-width="5" '
                f'stroke-linecap="round"/>'
                f'<circle cx="13" cy="13" r="9.3" fill="url(#lens)" stroke="{NAVY}" stroke-width="2.5"/>'
                + text_lines(8.5, 17.5, [10, 13.2, 16.4], colour=BLUE, width=1.5),

    # A page with a blue "W" badge: one card to the word processor.
    "word": page(9) + text_lines(18, 23.5, [14, 18, 22, 25.5]) +
    f'<rect x="2.5" y="9.5" width="14" height="14" rx="2.2" fill="url(#blue)" stroke="{NAVY}" '
    f'stroke-width="1"/>' + letter(9.5, 20.6, 11, "W"),

    # A sheet grid with a green "X" badge: the archive to the spreadsheet.
    "excel": page(9, fold="#d5efdf") +
    "".join(f'<line x1="18" y1="{y}" x2="24.5" y2="{y}" stroke="#8fcca5" stroke-width="1.2"/>'
            for y in (12.5, 16.5, 20.5, 24.5)) +
    f'<line x1="21.2" y1="11" x2="21.2" y2="26" stroke="#8fcca5" stroke-width="1.2"/>'
    f'<rect x="2.5" y="9.5" width="14" height="14" rx="2.2" fill="url(#green)" stroke="#1d6b3d" '
    f'stroke-width="1"/>' + letter(9.5, 20.6, 11, "X"),

    # A paper clip: files attached to the card.
    "allega": f'<path d="M21.5 9.5L11.8 19.2a2.9 2.9 0 0 0 4.1 4.1l10-10a5.4 5.4 0 0 0-7.6-7.6l-10.7 10.7'
              f'a7.9 7.9 0 0 0 11.2 11.2l8.4-8.4" fill="none" stroke="{NAVY}" stroke-width="2.4" '
              f'stroke-linecap="round" stroke-linejoin="round"/>',

    # A folder: the folder associated with the card.
    "cartella": f'<path d="M3.5 8a2 2 0 0 1 2-2h7l2.5 3h11.5a2 2 0 0 1 2 2v14.5a2 2 0 0 1-2 2h-21a2 2 0 0 1-2-2z" '
                f'fill="{AMBER_D}" stroke="#9a6608" stroke-width="1.2" stroke-linejoin="round"/>'
                f'<path d="M3.5 13.5h25v12a2 2 0 0 1-2 2h-21a2 2 0 0 1-2-2z" fill="url(#amber)" '
                f'stroke="#9a6608" stroke-width="1.2" stroke-linejoin="round"/>',

    # An archive cylinder with a lightning badge: compact the archive.
    "ottimizza": f'<path d="M4 8v14c0 2.5 4.5 4.5 10 4.5s10-2 10-4.5V8" fill="url(#blue)" '
                 f'stroke="{NAVY}" stroke-width="1.5"/>'
                 f'<path d="M4 15c0 2.5 4.5 4.5 10 4.5s10-2 10-4.5" fill="none" stroke="{NAVY}" '
                 f'stroke-width="1.1" opacity="0.7"/>'
                 f'<ellipse cx="14" cy="8" rx="10" ry="4" fill="{BLUE_L}" stroke="{NAVY}" stroke-width="1.5"/>'
                 + round_badge(24, 24, 7, "url(#green)",
                               '<path d="M25.3 19.3l-4.2 5.6h3l-1.3 4.4 4.4-5.8h-3z" fill="#fff"/>'),

    # A card with a green arrow leaving it: contacts written to a file.
    "esporta": page(5) + text_lines(8.5, 16, [12, 16, 20])
    + round_badge(23, 23, 7, "url(#green)",
                  '<path d="M19.3 23h7.2M23.6 19.9l3.1 3.1-3.1 3.1" fill="none" stroke="#fff" '
                  'stroke-width="2.2" stroke-linecap="round" stroke-linejoin="round"/>'),

    # The archive cylinder with an amber lifebuoy: a backup of the data.
    "copia": f'<path d="M4 8v14c0 2.5 4.5 4.5 10 4.5s10-2 10-4.5V8" fill="url(#blue)" '
             f'stroke="{NAVY}" stroke-width="1.5"/>'
             f'<path d="M4 15c0 2.5 4.5 4.5 10 4.5s10-2 10-4.5" fill="none" stroke="{NAVY}" '
             f'stroke-width="1.1" opacity="0.7"/>'
             f'<ellipse cx="14" cy="8" rx="10" ry="4" fill="{BLUE_L}" stroke="{NAVY}" stroke-width="1.5"/>'
             f'<circle cx="23.5" cy="23.5" r="6.3" fill="none" stroke="#fff" stroke-width="5.2"/>'
             f'<circle cx="23.5" cy="23.5" r="6.3" fill="none" stroke="{RED}" stroke-width="3.6"/>'
             f'<circle cx="23.5" cy="23.5" r="6.3" fill="none" stroke="#fff" stroke-width="3.6" '
             f'stroke-dasharray="4.95 4.95" stroke-dashoffset="2.5"/>',

    # A blue "?": the help topic.
    "guida": f'<circle cx="16" cy="16" r="13" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.5"/>'
             + letter(16, 23, 19, "?"),

    # A red waste bin: delete the card.
    "elimina": f'<path d="M13 7V5.2a1.2 1.2 0 0 1 1.2-1.2h3.6a1.2 1.2 0 0 1 1.2 1.2V7" fill="none" '
               f'stroke="{RED_D}" stroke-width="1.6"/>'
               f'<rect x="5.5" y="7" width="21" height="3.6" rx="1.2" fill="url(#red)" stroke="{RED_D}" '
               f'stroke-width="1.2"/>'
               f'<path d="M7.8 11.5h16.4l-1.5 15.3a2 2 0 0 1-2 1.8h-9.4a2 2 0 0 1-2-1.8z" fill="url(#red)" '
               f'stroke="{RED_D}" stroke-width="1.2" stroke-linejoin="round"/>'
               + "".join(f'<line x1="{x}" y1="14.5" x2="{x}" y2="25.5" stroke="#fff" stroke-width="1.4" '
                         f'stroke-linecap="round" opacity="0.75"/>' for x in (12.4, 16, 19.6)),

    # An open door with a green arrow: leave the form.
    "esci": f'<rect x="4" y="3.5" width="15" height="25" fill="{SKY}" stroke="{NAVY}" stroke-width="1.5"/>'
            f'<path d="M4 3.5l9 3v24.5l-9-2.5z" fill="url(#navy)" stroke="{NAVY}" stroke-width="1.2" '
            f'stroke-linejoin="round"/><circle cx="10.8" cy="17.5" r="1.1" fill="{AMBER}"/>'
            f'<path d="M16 16h10.5" stroke="{GREEN}" stroke-width="3.6" stroke-linecap="round"/>'
            f'<path d="M22.5 10.8l5.4 5.2-5.4 5.2" fill="none" stroke="{GREEN}" stroke-width="3.6" '
            f'stroke-linecap="round" stroke-linejoin="round"/>',

    # Navigation arrows around the card number.
    "primo": f'<rect x="5" y="6" width="4" height="20" rx="1" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.3"/>'
             f'<path d="M25 6.5L11.5 16 25 25.5z" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.5" '
             f'stroke-linejoin="round"/>',
    "indietro": f'<path d="M23 6L8 16l15 10z" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.5" '
                f'stroke-linejoin="round"/>',
    "avanti": f'<path d="M9 6l15 10-15 10z" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.5" '
              f'stroke-linejoin="round"/>',
    "ultimo": f'<path d="M7 6.5L20.5 16 7 25.5z" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.5" '
              f'stroke-linejoin="round"/>'
              f'<rect x="23" y="6" width="4" height="20" rx="1" fill="url(#blue)" stroke="{NAVY}" '
              f'stroke-width="1.3"/>',

    # An envelope: write to the address beside it.
    "email": f'<rect x="3.5" y="7.5" width="25" height="17" rx="2" fill="#fff" stroke="{NAVY}" stroke-width="1.5"/>'
             f'<path d="M4.3 8.3L16 17.3 27.7 8.3z" fill="{SKY}"/>'
             f'<path d="M4.3 8.3L16 17.3 27.7 8.3" fill="none" stroke="{NAVY}" stroke-width="1.5" '
             f'stroke-linejoin="round"/>'
             f'<path d="M4.5 23.8l8.7-7.8M27.5 23.8l-8.7-7.8" stroke="{NAVY}" stroke-width="1" opacity="0.6"/>',

    # A green tick: check the code beside it.
    "controlla": f'<circle cx="16" cy="16" r="13" fill="url(#green)" stroke="#1d6b3d" stroke-width="1.5"/>'
                 f'<path d="M9.5 16.5l4.5 4.5 8.5-9.5" fill="none" stroke="#fff" stroke-width="3.2" '
                 f'stroke-linecap="round" stroke-linejoin="round"/>',

    # A small address book: pick from the contacts.
    "rubrica": f'<rect x="7" y="3.5" width="19" height="25" rx="2.5" fill="url(#navy)"/>'
               f'<rect x="10.5" y="7" width="12" height="15" rx="1.5" fill="#fff"/>'
               f'<circle cx="16.5" cy="12" r="2.6" fill="{BLUE_L}"/>'
               f'<path d="M12.3 20a4.2 3.6 0 0 1 8.4 0z" fill="{BLUE_L}"/>'
               + "".join(f'<rect x="4.5" y="{y}" width="5" height="2.4" rx="1.2" fill="#dfe6f1" stroke="{NAVY}" '
                         f'stroke-width="0.9"/>' for y in (7, 12.5, 18, 23.5))
               + f'<rect x="26" y="6" width="2.8" height="5" rx="0.8" fill="{RED}"/>'
               f'<rect x="26" y="12.5" width="2.8" height="5" rx="0.8" fill="{GREEN}"/>',

    # Three people: pick from the groups.
    "gruppi": f'<circle cx="9" cy="12" r="3.6" fill="{BLUE_L}" stroke="#fff" stroke-width="1"/>'
              f'<path d="M2.5 24a6.5 7 0 0 1 13 0z" fill="{BLUE_L}" stroke="#fff" stroke-width="1"/>'
              f'<circle cx="23" cy="12" r="3.6" fill="{GREEN_L}" stroke="#fff" stroke-width="1"/>'
              f'<path d="M16.5 24a6.5 7 0 0 1 13 0z" fill="{GREEN_L}" stroke="#fff" stroke-width="1"/>'
              f'<circle cx="16" cy="10" r="4.6" fill="{BLUE}" stroke="#fff" stroke-width="1.2"/>'
              f'<path d="M7.5 27.5a8.5 9 0 0 1 17 0z" fill="{BLUE}" stroke="#fff" stroke-width="1.2"/>',

    # A tray of envelopes: pick from the messages.
    "messaggi": envelope(4.5, 4.5, 19, 13, -8, sw=1.2) + envelope(9, 6, 19, 13, 6, sw=1.2) +
    f'<rect x="3" y="16" width="26" height="12.5" rx="2" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.3"/>'
    f'<rect x="12" y="20.5" width="8" height="3" rx="1.5" fill="#fff" opacity="0.9"/>',

    # A calendar page: pick the creation date.
    "calendario": f'<rect x="4" y="6" width="24" height="22.5" rx="2.5" fill="#fff" stroke="{NAVY}" stroke-width="1.5"/>'
                  f'<path d="M4 8.5a2.5 2.5 0 0 1 2.5-2.5h19a2.5 2.5 0 0 1 2.5 2.5V12H4z" fill="url(#red)" '
                  f'stroke="{NAVY}" stroke-width="1.5"/>'
                  f'<rect x="9" y="3" width="2.6" height="6" rx="1.3" fill="{NAVY}"/>'
                  f'<rect x="20.4" y="3" width="2.6" height="6" rx="1.3" fill="{NAVY}"/>'
                  + "".join(f'<rect x="{x}" y="{y}" width="3.2" height="3" rx="0.6" fill="{c}"/>'
                            for y in (15, 20.5) for x, c in ((7.5, "#9db4d8"), (12.5, "#9db4d8"),
                                                             (17.5, BLUE if y == 20.5 else "#9db4d8"),
                                                             (22.5, "#9db4d8"))),

    # A paper plane: send the message.
    "invia": f'<path d="M3 15.5L29 4 22.5 27.5 15.5 21.5z" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.4" '
             f'stroke-linejoin="round"/>'
             f'<path d="M29 4L15.5 21.5 14 28.5 18.5 23.8z" fill="{NAVY}"/>'
             f'<path d="M29 4L15.5 21.5" stroke="#cfe0f8" stroke-width="1.1"/>',

    # An envelope with a clock: the journal of sendings.
    "storico": envelope(2.5, 5, 21, 15, -6, sw=1.4) +
    round_badge(22.5, 21.5, 8, "url(#blue)",
                '<path d="M22.5 16.8v5h3.8" fill="none" stroke="#fff" stroke-width="2" '
                'stroke-linecap="round" stroke-linejoin="round"/>'),

    # A blue "i": about the program.
    "info": f'<circle cx="16" cy="16" r="13" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.5"/>'
            f'<circle cx="16" cy="9.5" r="2.1" fill="#fff"/>'
            f'<rect x="14.1" y="13" width="3.8" height="11" rx="1.2" fill="#fff"/>',

    # A page with a red "PDF" band: the manual.
    "pdf": page() + text_lines(10.5, 21.5, [10, 13.5]) +
    f'<rect x="3.5" y="17" width="20" height="9" rx="1.8" fill="url(#red)" stroke="{RED_D}" stroke-width="1"/>'
    + letter(13.5, 24.2, 7.5, "PDF"),

    # An envelope with a red no-entry badge: exclude the address from mailings.
    "escludi": f'<rect x="2.5" y="5.5" width="22" height="15" rx="2" fill="#fff" stroke="{NAVY}" stroke-width="1.5"/>'
               f'<path d="M3.3 6.3L13.5 14.3 23.7 6.3z" fill="{SKY}" stroke="{NAVY}" stroke-width="1.5" '
               f'stroke-linejoin="round"/>'
               + round_badge(22, 22, 8, "url(#red)",
                             '<rect x="17" y="20.4" width="10" height="3.2" rx="1" fill="#fff"/>'),

    # The same envelope with a green tick: let the address in again.
    "riammetti": f'<rect x="2.5" y="5.5" width="22" height="15" rx="2" fill="#fff" stroke="{NAVY}" '
                 f'stroke-width="1.5"/>'
                 f'<path d="M3.3 6.3L13.5 14.3 23.7 6.3z" fill="{SKY}" stroke="{NAVY}" stroke-width="1.5" '
                 f'stroke-linejoin="round"/>'
                 + round_badge(22, 22, 8, "url(#green)",
                               '<path d="M18 22.2l3 3 5-5.6" fill="none" stroke="#fff" stroke-width="2.4" '
                               'stroke-linecap="round" stroke-linejoin="round"/>'),

    # A list with a red no-entry badge: the addresses excluded from mailings.
    "esclusi": page(5) + text_lines(8.5, 19.5, [10, 13.5, 17, 20.5])
    + round_badge(22.5, 22.5, 7.5, "url(#red)", '<rect x="17.8" y="21" width="9.4" height="3" rx="1" fill="#fff"/>'),

    # A globe: the maker's web site.
    "web": f'<circle cx="16" cy="16" r="12.5" fill="url(#blue)" stroke="{NAVY}" stroke-width="1.5"/>'
           f'<ellipse cx="16" cy="16" rx="5.5" ry="12.5" fill="none" stroke="#fff" stroke-width="1.2" opacity="0.85"/>'
           f'<line x1="16" y1="3.5" x2="16" y2="28.5" stroke="#fff" stroke-width="1.2" opacity="0.85"/>'
           f'<line x1="3.5" y1="16" x2="28.5" y2="16" stroke="#fff" stroke-width="1.2" opacity="0.85"/>'
           f'<path d="M5.5 9.5h21M5.5 22.5h21" stroke="#fff" stroke-width="1.1" opacity="0.7"/>',
}

# --- logo -----------------------------------------------------------------

# A paper plane leaving a dotted trail on a blue rounded square, 128 x 128.
LOGO = (f'<rect x="4" y="4" width="120" height="120" rx="26" fill="url(#logo)"/>'
        f'<rect x="4" y="4" width="120" height="60" rx="26" fill="#fff" opacity="0.06"/>'
        f'<path d="M22 64L106 28 84 104 62 82z" fill="#fff"/>'
        f'<path d="M106 28L62 82 58 104 70 88z" fill="#c9dbf6"/>'
        f'<path d="M106 28L62 82" stroke="#9db8e6" stroke-width="2"/>'
        + "".join(f'<circle cx="{x}" cy="{y}" r="{r}" fill="#fff" opacity="{o}"/>'
                  for x, y, r, o in ((46, 100, 4.2, 0.85), (32, 106, 3.4, 0.6), (20, 109, 2.6, 0.4))))

# --- launcher tiles, 176 x 150 ---------------------------------------------

TILE_W, TILE_H = 176, 150
# The pictures are drawn on 176 x 128 and placed in the middle of the frame.
TILE_FRAME = ('<rect x="2" y="2" width="172" height="146" rx="14" fill="url(#tile)" stroke="#b9cbe6" '
              'stroke-width="2"/><g transform="translate(0 11)">')


TILES = {
    # An address book with rings, a contact card and index tabs.
    "avvio_rubrica": TILE_FRAME +
    f'<rect x="52" y="14" width="74" height="100" rx="7" fill="url(#navy)"/>'
    f'<rect x="64" y="28" width="52" height="72" rx="5" fill="#fff"/>'
    + person(90, 50, 10, BLUE_L, outline="#fff") +
    text_lines(74, 106, [90], colour="#9db4d8", width=3) +
    "".join(f'<rect x="44" y="{y}" width="16" height="6" rx="3" fill="#dfe6f1" stroke="{NAVY}" '
            f'stroke-width="1.5"/>' for y in (24, 44, 64, 84, 100)) +
    "".join(f'<rect x="124" y="{y}" width="11" height="15" rx="2.5" fill="{c}"/>'
            for y, c in ((22, RED), (42, AMBER_D), (62, GREEN), (82, BLUE))),

    # Three people: a group of recipients.
    "avvio_gruppi": TILE_FRAME +
    person(56, 50, 13, BLUE_L) + person(120, 50, 13, GREEN_L) + person(88, 42, 17, BLUE),

    # A drawer full of envelopes: the message archive.
    "avvio_messaggi": TILE_FRAME +
    envelope(44, 22, 54, 36, -10) + envelope(66, 14, 54, 36, 3) + envelope(86, 24, 54, 36, 12) +
    f'<rect x="34" y="58" width="108" height="56" rx="8" fill="url(#blue)" stroke="{NAVY}" stroke-width="2"/>'
    f'<rect x="34" y="58" width="108" height="10" rx="4" fill="{NAVY}" opacity="0.35"/>'
    f'<rect x="70" y="80" width="36" height="10" rx="5" fill="#fff" opacity="0.9"/>',

    # An envelope sent off by a paper plane: send now.
    "avvio_invia": TILE_FRAME +
    envelope(22, 52, 76, 50, -6) +
    f'<path d="M96 48c10-14 22-20 34-24" fill="none" stroke="{BLUE_L}" stroke-width="3" '
    f'stroke-dasharray="5 6" stroke-linecap="round"/>'
    f'<g transform="translate(102 6) scale(0.52)">'
    f'<path d="M22 64L106 28 84 104 62 82z" fill="{BLUE}" stroke="{NAVY}" stroke-width="3" stroke-linejoin="round"/>'
    f'<path d="M106 28L62 82 58 104 70 88z" fill="{NAVY}"/></g>',
}

# --- background tile --------------------------------------------------------

SFONDO = ('<rect width="48" height="48" fill="#f5f8fc"/>'
          '<circle cx="12" cy="12" r="1.4" fill="#dde5f1"/><circle cx="36" cy="36" r="1.4" fill="#dde5f1"/>')

# --- animated strip -----------------------------------------------------------

STRIP_W, STRIP_H = 760, 64
STRIP_FRAMES = 30
STRIP_SPACING = 90
LANE_FROM, LANE_TO = 220, 748


def lane_y(x):
    return 32 + 7 * math.sin(2 * math.pi * x / 180)


def strip_frame(index):
    body = ['<rect width="760" height="64" fill="url(#strip)"/>',
            letter(28, 38, 30, "Velmaro").replace('text-anchor="middle"', 'text-anchor="start"'),
            f'<text x="30" y="55" font-family="{FONT}" font-size="10.5" fill="#b9cdf0">'
            f'contatti · gruppi · messaggi</text>']
    # The lane the envelopes travel along, faint.
    points = " ".join(f"{x},{lane_y(x):.1f}" for x in range(LANE_FROM, LANE_TO + 1, 6))
    body.append(f'<polyline points="{points}" fill="none" stroke="#ffffff" stroke-opacity="0.18" '
                f'stroke-width="1.5" stroke-dasharray="2 6"/>')
    shift = STRIP_SPACING * index / STRIP_FRAMES
    x = LANE_FROM - STRIP_SPACING + shift
    while x < LANE_TO + STRIP_SPACING:
        if LANE_FROM - 20 <= x <= LANE_TO + 20:
            fade = min(1.0, max(0.0, (x - LANE_FROM + 20) / 70), max(0.0, (LANE_TO + 20 - x) / 70))
            slope = 7 * 2 * math.pi / 180 * math.cos(2 * math.pi * x / 180)
            angle = math.degrees(math.atan(slope))
            w, h = 26, 17
            body.append(f'<g opacity="{fade:.2f}">' +
                        envelope(x - w / 2, lane_y(x) - h / 2, w, h, angle, flap="#cfe0f8",
                                 stroke="#0f1f3d", sw=1.3) + '</g>')
        x += STRIP_SPACING
    return svg(STRIP_W, STRIP_H, "".join(body))


def make_strip():
    frames = [rasterise(strip_frame(i), STRIP_W, STRIP_H).convert("RGB") for i in range(STRIP_FRAMES)]
    # One palette for all frames keeps the gradient from flickering.
    sheet = Image.new("RGB", (STRIP_W, STRIP_H * 3))
    for n, i in enumerate((0, STRIP_FRAMES // 3, 2 * STRIP_FRAMES // 3)):
        sheet.paste(frames[i], (0, STRIP_H * n))
    palette = sheet.quantize(colors=255, method=Image.Quantize.MEDIANCUT)
    indexed = [f.quantize(palette=palette, dither=Image.Dither.NONE) for f in frames]
    path = os.path.join(OUT, "striscia.gif")
    indexed[0].save(path, save_all=True, append_images=indexed[1:], duration=70, loop=0,
                    optimize=False, disposal=1)
    print(path)


# --- splash window -----------------------------------------------------------

SPLASH_W, SPLASH_H = 600, 368
SPRITE = 64
# The sprite's transparent colour: the splash takes its bottom-left pixel.
SPRITE_KEY = (255, 0, 255)

SPLASH_BACK = (
    '<defs><radialGradient id="sky" cx="0.5" cy="0.35" r="0.8">'
    '<stop offset="0" stop-color="#3a78d8"/><stop offset="0.6" stop-color="#1d3461"/>'
    '<stop offset="1" stop-color="#0d1a33"/></radialGradient></defs>'
    f'<rect width="{SPLASH_W}" height="{SPLASH_H}" fill="url(#sky)"/>'
    + "".join(f'<circle cx="{(i * 137) % SPLASH_W}" cy="{(i * 71) % SPLASH_H}" r="{1 + i % 3 * 0.6}" '
              f'fill="#fff" opacity="{0.15 + (i % 5) * 0.08:.2f}"/>' for i in range(1, 60))
    + '<path d="M-20 300C120 240 260 330 400 270S620 220 640 240" fill="none" stroke="#7fb0ee" '
      'stroke-width="2" stroke-dasharray="3 9" opacity="0.5"/>'
    + f'<g transform="translate(236 70)">{LOGO}</g>'.replace('url(#logo)', '#2a5db0')
    + letter(300, 252, 44, "Velmaro")
    + f'<text x="300" y="282" font-family="{FONT}" font-size="15" fill="#cfe0f8" text-anchor="middle">'
      'contatti · gruppi · messaggi · newsletter</text>'
    + f'<text x="300" y="346" font-family="{FONT}" font-size="11" fill="#9db8e6" text-anchor="middle">'
      'Fare clic per visitare il sito Internet</text>')

# A small winged envelope, drawn on the key colour with hard edges.
SPRITE_BODY = (
    '<path d="M4 30L18 20 18 40z" fill="#f5c04a" stroke="#9a6608" stroke-width="1.5"/>'
    '<path d="M60 30L46 20 46 40z" fill="#f5c04a" stroke="#9a6608" stroke-width="1.5"/>'
    + envelope(14, 17, 36, 26, 0, stroke=NAVY, sw=2.2))


def sprite_picture():
    drawn = rasterise(svg(SPRITE, SPRITE, SPRITE_BODY), SPRITE, SPRITE)
    out = Image.new("RGB", (SPRITE, SPRITE), SPRITE_KEY)
    for y in range(SPRITE):
        for x in range(SPRITE):
            r, g, b, a = drawn.getpixel((x, y))
            if a >= 128:
                # Never the key colour itself, or the pixel would vanish.
                out.putpixel((x, y), (r, g, b) if (r, g, b) != SPRITE_KEY else (254, 0, 255))
    assert out.getpixel((0, SPRITE - 1)) == SPRITE_KEY
    return out


def make_splash():
    save(rasterise(svg(SPLASH_W, SPLASH_H, SPLASH_BACK), SPLASH_W, SPLASH_H).convert("RGB"), "splash_sfondo.png")
    save(sprite_picture(), "splash_sprite.png")


def main():
    os.makedirs(OUT, exist_ok=True)
    if sys.argv[1:] == ["splash"]:
        make_splash()
        return 0
    if sys.argv[1:] and all(name in GLYPHS for name in sys.argv[1:]):
        # Only the glyphs named: the others stay byte for byte as committed.
        for name in sys.argv[1:]:
            save(rasterise(svg(32, 32, GLYPHS[name]), 32, 32), name + ".png")
        return 0
    for name, body in GLYPHS.items():
        save(rasterise(svg(32, 32, body), 32, 32), name + ".png")
    for name, body in TILES.items():
        save(rasterise(svg(TILE_W, TILE_H, body + "</g>"), TILE_W, TILE_H), name + ".png")
    save(rasterise(svg(128, 128, LOGO), 128, 128), "logo.png")
    save(rasterise(svg(128, 128, LOGO), 32, 32), "logo_piccolo.png")
    save(rasterise(svg(48, 48, SFONDO), 48, 48).convert("RGB"), "sfondo.png")
    make_strip()
    make_splash()
    save(rasterise(svg(128, 128, LOGO), 256, 256), "velmaro.png", PACKAGING)


if __name__ == "__main__":
    sys.exit(main())
