#!/usr/bin/env python3
"""Draws the summary window's pictures: the header (JPEG, 576 x 110), the four face
lists (ten button pictures each, up and pressed, captioned in the list's language),
the 16-pixel row icons 0 to 26 (one strip) and the two pictures of Billeder.

    make_pictures.py OUTPUT_FOLDER

Needs Pillow and the DejaVu fonts (Debian: python3-pil, fonts-dejavu-core)."""

import os
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_FOLDER = "/usr/share/fonts/truetype/dejavu"
BOLD = os.path.join(FONT_FOLDER, "DejaVuSans-Bold.ttf")
REGULAR = os.path.join(FONT_FOLDER, "DejaVuSans.ttf")
CONDENSED_BOLD = os.path.join(FONT_FOLDER, "DejaVuSansCondensed-Bold.ttf")

HEADER_SIZE = (576, 110)
WIDE = (112, 26)    # Programmer, Partitioner, Detaljer
NARROW = (91, 26)   # Udskriv, Afslut
ICON = 16
ICON_COUNT = 27
ICON_KEY = (255, 0, 255)  # transparent in the row icons

# Face list order: Programmer, Partitioner, Detaljer, Udskriv, Afslut.
CAPTIONS = {
    "DA": ["Programmer", "Partitioner", "Detaljer", "Udskriv", "Afslut"],
    "NO": ["Programmer", "Partisjoner", "Detaljer", "Skriv ut", "Avslutt"],
    "SV": ["Program", "Partitioner", "Detaljer", "Skriv ut", "Avsluta"],
    "FI": ["Ohjelmat", "Osiot", "Lis\u00e4tiedot", "Tulosta", "Lopeta"],
}

# Base colour of each button (the colour of the header behind it).
BUTTON_COLOURS = [(0x3C, 0x6E, 0x8C), (0x3C, 0x6E, 0x8C), (0x3C, 0x6E, 0x8C), (0x2E, 0x7D, 0x5A),
                  (0x9A, 0x3B, 0x2E)]


def font(path, size):
    return ImageFont.truetype(path, size)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def lighter(colour, t):
    return mix(colour, (255, 255, 255), t)


def darker(colour, t):
    return mix(colour, (0, 0, 0), t)


def vertical_gradient(size, top, bottom):
    image = Image.new("RGB", size)
    draw = ImageDraw.Draw(image)
    width, height = size
    for y in range(height):
        draw.line([(0, y), (width - 1, y)], fill=mix(top, bottom, y / max(1, height - 1)))
    return image


def centred_text(draw, box, text, face, fill, shift=0):
    left, top, right, bottom = box
    x0, y0, x1, y1 = draw.textbbox((0, 0), text, font=face)
    x = left + (right - left - (x1 - x0)) // 2 - x0 + shift
    y = top + (bottom - top - (y1 - y0)) // 2 - y0 + shift
    draw.text((x, y), text, font=face, fill=fill)


def fitting_font(draw, text, width):
    for size in range(13, 7, -1):
        face = font(BOLD, size)
        x0, _, x1, _ = draw.textbbox((0, 0), text, font=face)
        if x1 - x0 <= width - 10:
            return face
    return font(CONDENSED_BOLD, 8)


def button_face(size, caption, colour, pressed):
    """An up face: light top, dark bottom, raised edge. A pressed face: darker,
    sunken edge, caption one pixel down and right."""
    width, height = size
    if pressed:
        image = vertical_gradient(size, darker(colour, 0.45), darker(colour, 0.15))
    else:
        image = vertical_gradient(size, lighter(colour, 0.35), darker(colour, 0.2))
    draw = ImageDraw.Draw(image)
    outline = darker(colour, 0.6)
    draw.rectangle([0, 0, width - 1, height - 1], outline=outline)
    high, low = lighter(colour, 0.6), darker(colour, 0.4)
    if pressed:
        high, low = low, high
    draw.line([(1, 1), (width - 2, 1)], fill=high)
    draw.line([(1, 1), (1, height - 2)], fill=high)
    draw.line([(1, height - 2), (width - 2, height - 2)], fill=low)
    draw.line([(width - 2, 1), (width - 2, height - 2)], fill=low)
    face = fitting_font(draw, caption, width)
    text_colour = (255, 236, 160) if pressed else (255, 255, 255)
    centred_text(draw, (0, 0, width, height), caption, face, (0, 0, 0), shift=1 + (1 if pressed else 0))
    centred_text(draw, (0, 0, width, height), caption, face, text_colour, shift=1 if pressed else 0)
    return image


def header():
    width, height = HEADER_SIZE
    image = Image.new("RGB", HEADER_SIZE)
    draw = ImageDraw.Draw(image)
    left, right = (0x14, 0x23, 0x3F), (0x2A, 0x6F, 0x86)
    for x in range(width):
        draw.line([(x, 0), (x, height - 1)], fill=mix(left, right, x / (width - 1)))
    # Fine diagonal lines for texture.
    for x in range(-height, width, 9):
        draw.line([(x, height - 1), (x + height, 0)], fill=mix(left, right, max(0, x) / width), width=1)
    for x in range(width):
        draw.line([(x, 0), (x, 1)], fill=lighter(mix(left, right, x / (width - 1)), 0.25))
    # The emblem in the corner that links to the publisher.
    draw.ellipse([12, 10, 86, 84], fill=(0xF2, 0xB1, 0x34), outline=(255, 255, 255), width=3)
    centred_text(draw, (12, 10, 86, 84), "V", font(BOLD, 46), (0x14, 0x23, 0x3F))
    draw.text((105, 4), "Vardak", font=font(BOLD, 30), fill=(255, 255, 255))
    draw.text((108, 38), "System Overview", font=font(REGULAR, 12), fill=(0xCF, 0xE3, 0xEA))
    draw.line([(105, 92), (560, 92)], fill=(0x8F, 0xB9, 0xC8))
    draw.text((105, 94), "Windows 95 \u00b7 98 \u00b7 Me \u00b7 NT \u00b7 2000 \u00b7 XP", font=font(REGULAR, 10),
              fill=(0xCF, 0xE3, 0xEA))
    return image


# Row icons by index: colour and a short symbol; unused indices get a plain dot.
ICONS = {
    0: ((0x4A, 0x6F, 0xA5), "PC"), 1: ((0x2E, 0x8B, 0x57), "GR"), 3: ((0x8B, 0x5A, 0x2B), "SL"),
    4: ((0xB0, 0x3A, 0x8C), "SN"), 5: ((0x6A, 0x3D, 0x9A), "GP"), 7: ((0x55, 0x55, 0x55), "PR"),
    8: ((0x1F, 0x78, 0xB4), "RM"), 9: ((0xC0, 0x39, 0x2B), "CP"), 11: ((0xE6, 0x9F, 0x00), "V"),
    12: ((0x00, 0x80, 0x80), "NT"), 13: ((0xD3, 0x54, 0x00), "MH"), 14: ((0x7F, 0x8C, 0x8D), "SK"),
    15: ((0x00, 0x5A, 0x9C), "W"), 17: ((0x16, 0xA0, 0x85), "NC"), 18: ((0x34, 0x49, 0x5E), "FD"),
    19: ((0x27, 0x3C, 0x75), "HD"), 20: ((0x8E, 0x44, 0xAD), "CD"), 21: ((0x6D, 0x4C, 0x41), "TP"),
    22: ((0x2C, 0x3E, 0x50), "KB"), 23: ((0x5D, 0x6D, 0x7E), "MS"), 24: ((0xA0, 0x40, 0x00), "MD"),
    26: ((0x0E, 0x66, 0x55), "ND"),
}


def row_icons():
    strip = Image.new("RGB", (ICON * ICON_COUNT, ICON), ICON_KEY)
    draw = ImageDraw.Draw(strip)
    small = font(CONDENSED_BOLD, 7)
    for index in range(ICON_COUNT):
        left = index * ICON
        colour, symbol = ICONS.get(index, ((0x99, 0x99, 0x99), ""))
        draw.rounded_rectangle([left, 1, left + 14, 15], radius=3, fill=colour, outline=darker(colour, 0.4))
        draw.line([(left + 2, 2), (left + 12, 2)], fill=lighter(colour, 0.4))
        if symbol:
            centred_text(draw, (left, 1, left + 15, 16), symbol, small, (255, 255, 255))
        else:
            draw.ellipse([left + 5, 6, left + 9, 10], fill=(255, 255, 255))
    return strip


def billeder():
    first = Image.new("RGB", (32, 32), (0x14, 0x23, 0x3F))
    draw = ImageDraw.Draw(first)
    draw.ellipse([2, 2, 29, 29], fill=(0xF2, 0xB1, 0x34))
    centred_text(draw, (2, 2, 30, 30), "V", font(BOLD, 18), (0x14, 0x23, 0x3F))
    second = first.resize((16, 16), Image.LANCZOS)
    return [first, second]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    header().save(os.path.join(out, "hoved.jpg"), "JPEG", quality=90)
    for language, captions in CAPTIONS.items():
        for button, caption in enumerate(captions):
            size = WIDE if button < 3 else NARROW
            for pressed in (False, True):
                index = 2 * button + (1 if pressed else 0)
                image = button_face(size, caption, BUTTON_COLOURS[button], pressed)
                # 8 bits a pixel: a face has a few hundred colours, and forty of them
                # ship in every program.
                image = image.convert("P", palette=Image.ADAPTIVE, colors=256)
                image.save(os.path.join(out, "knap_%s_%d.bmp" % (language.lower(), index)), "BMP")
    row_icons().save(os.path.join(out, "rowicons.bmp"), "BMP")
    for index, picture in enumerate(billeder()):
        picture.save(os.path.join(out, "billede%d.bmp" % index), "BMP")


if __name__ == "__main__":
    main()
