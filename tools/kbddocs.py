#!/usr/bin/env python3
"""Draws the product documents from the layout source, as SVG pages.

  kbddocs.py charts SOURCE OUTDIR          typography table and one keyboard
                                           chart per variant and set
  kbddocs.py guide SOURCE GUIDE OUTDIR     the user guide's text pages
  kbddocs.py readme-chart SOURCE OUT.svg   the standard chart alone

Every page is an A4 SVG named NN-*.svg in page order; the build turns them
into PDF with rsvg-convert and joins them.
"""
import os
import sys
import unicodedata
from xml.sax.saxutils import escape

import kbdsrc

FONT = "DejaVu Sans"
A4_LANDSCAPE = (842, 595)
A4_PORTRAIT = (595, 842)
U = 50   # one key unit, in points

# Physical rows of the chart: (scan code, width in units); E0 codes as 0xE0nn.
ROWS = [
    [(0x29, 1)] + [(sc, 1) for sc in range(0x02, 0x0E)] + [(0x0E, 2)],
    [(0x0F, 1.5)] + [(sc, 1) for sc in range(0x10, 0x1C)] + [(0x2B, 1.5)],
    [(0x3A, 1.75)] + [(sc, 1) for sc in range(0x1E, 0x29)] + [(0x1C, 2.25)],
    [(0x2A, 2.25)] + [(sc, 1) for sc in range(0x2C, 0x36)] + [(0x36, 2.75)],
    [(0x1D, 1.25), (0xE05B, 1.25), (0x38, 1.25), (0x39, 6.25), (0xE038, 1.25),
     (0xE05C, 1.25), (0xE05D, 1.25), (0xE01D, 1.25)],
]
LABELS = {0x0E: 'Backspace', 0x0F: 'Tab', 0x3A: 'Caps Lock', 0x1C: 'Enter',
          0x2A: 'Shift', 0x36: 'Shift', 0x1D: 'Ctrl', 0xE01D: 'Ctrl',
          0x38: 'Alt', 0xE038: 'AltGr', 0xE05B: 'Win', 0xE05C: 'Win', 0xE05D: 'Menu'}
SHOWN = {0x00A0: 'nbsp', 0x202F: 'nnbsp'}
ALTGR_COLOUR = '#b0182c'
DEAD_FILL = '#ffe3a3'


def glyph(ch):
    """What a key cap shows for a character, or None."""
    if ch is None or ch < 0x20 or ch == 0x20 or ch == 0x7F:
        return None
    return SHOWN.get(ch, chr(ch))


def text(x, y, s, size, colour='#000', anchor='start', weight='normal'):
    return ('<text x="%.1f" y="%.1f" font-family="%s" font-size="%.1f" fill="%s" '
            'text-anchor="%s" font-weight="%s">%s</text>'
            % (x, y, FONT, size, colour, anchor, weight, escape(s)))


def page(size, body):
    w, h = size
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%dpt" height="%dpt" '
            'viewBox="0 0 %d %d">\n<rect width="%d" height="%d" fill="#fff"/>\n%s\n</svg>\n'
            % (w, h, w, h, w, h, '\n'.join(body)))


def cap_texts(row):
    """(top-left, bottom-left, top-right, bottom-right, dead columns) of a key."""
    def col(i):
        c = row.cols[i] if row and i < len(row.cols) else None
        return (glyph(c.ch), c.dead) if c else (None, False)
    (base, _), (shift, _), (alt, alt_dead), (salt, salt_dead) = col(0), col(1), col(3), col(4)
    if base and shift and base.isalpha() and shift == base.upper():
        base = None                         # a letter: the cap shows its capital
    if alt and salt and alt.isalpha() and salt == alt.upper():
        salt = None
    return shift, base, salt, alt, (alt_dead, salt_dead)


def keyboard(image, x0, y0):
    vk_of = {sc: image.scan[sc] & 0xFF for sc in range(0x7F)}
    rows = {r.vk: r for r in image.rows}
    out = []
    for r, keys in enumerate(ROWS):
        x = x0
        for sc, width in keys:
            w, y = width * U - 4, y0 + r * U
            row = rows.get(vk_of.get(sc)) if sc < 0x80 else None
            out.append('<rect x="%.1f" y="%.1f" width="%.1f" height="%d" rx="5" '
                       'fill="#f4f4f4" stroke="#555" stroke-width="0.8"/>' % (x, y, w, U - 4))
            if sc in LABELS or not row:
                out.append(text(x + 5, y + U - 10, LABELS.get(sc, ''), 8, '#555'))
            else:
                tl, bl, tr, br, dead = cap_texts(row)
                for flag, cx, cy in ((dead[1], x + w - 20, y + 2), (dead[0], x + w - 20, y + 24)):
                    if flag:
                        out.append('<rect x="%.1f" y="%.1f" width="18" height="19" rx="3" fill="%s"/>'
                                   % (cx, cy, DEAD_FILL))
                small = lambda s: 8 if s and len(s) > 1 else 14
                if tl: out.append(text(x + 5, y + 18, tl, small(tl)))
                if bl: out.append(text(x + 5, y + 40, bl, small(bl)))
                if tr: out.append(text(x + w - 5, y + 18, tr, small(tr), ALTGR_COLOUR, 'end'))
                if br: out.append(text(x + w - 5, y + 40, br, small(br), ALTGR_COLOUR, 'end'))
            x += width * U
    return out


def chart_page(src, image):
    w, h = A4_LANDSCAPE
    kind = ('Set A: typography and Polish letters on AltGr' if image.set == 'A'
            else 'Set B: accents as dead keys on AltGr')
    body = [text(46, 52, '%s \u2014 %s' % (src.name, src.variants[image.variant]), 22, weight='bold'),
            text(46, 74, kind, 12, '#333')]
    body += keyboard(image, 46, 100)
    y = 100 + 5 * U + 26
    body += [text(46, y, 'Left: the key alone (bottom) and with Shift (top).', 10),
             text(46, y + 15, 'Right, in red: with AltGr (bottom) and Shift+AltGr (top). '
                  'AltGr is the right Alt key, or Ctrl+Alt.', 10, ALTGR_COLOUR),
             text(46, y + 30, 'nbsp: no-break space; nnbsp: narrow no-break space. '
                  'Caps Lock also gives the capitals of the AltGr letters.', 10)]
    if image.dead:
        body.append('<rect x="46" y="%d" width="14" height="12" rx="2" fill="%s"/>' % (y + 38, DEAD_FILL))
        body.append(text(66, y + 48, 'Dead key: press it, then the letter.', 10))
        by_mark = {}
        for d, b, c in image.dead:
            if glyph(b) and b != 0xA0:
                by_mark.setdefault(d, []).append('%s\u2192%s' % (chr(b), chr(c)))
        for i, (d, pairs) in enumerate(by_mark.items()):
            name = dict(image.names_dead).get(d, '').lower()
            body.append(text(46, y + 68 + 15 * i, '%s (%s): %s;  then Space: %s'
                             % (chr(d), name, '  '.join(pairs), chr(d)), 10))
    return page(A4_LANDSCAPE, body)


KEY_NAMES = {v: k for k, v in kbdsrc.VK.items()}


def key_name(vk):
    name = KEY_NAMES.get(vk, '?')
    oem = {'OEM_MINUS': '-', 'OEM_PLUS': '=', 'OEM_4': '[', 'OEM_6': ']', 'OEM_5': '\\',
           'OEM_1': ';', 'OEM_7': "'", 'OEM_3': '`', 'OEM_COMMA': ',', 'OEM_PERIOD': '.',
           'OEM_2': '/', 'SPACE': 'Space'}
    return oem.get(name, name)


def typography_pages(src, image):
    """The characters of the AltGr layer, with their names and keys."""
    entries = []
    for row in image.rows:
        for col, prefix in ((3, 'AltGr'), (4, 'Shift+AltGr')):
            c = row.cols[col] if col < len(row.cols) else None
            if c and not c.dead:
                entries.append((chr(c.ch), unicodedata.name(chr(c.ch), '').lower(),
                                '%s+%s' % (prefix, key_name(row.vk))))
    pages, per_page = [], 34
    for start in range(0, len(entries), per_page):
        body = [text(60, 70, 'Typography on the keyboard', 24, weight='bold'),
                text(60, 94, '%s, standard variant: every character of the AltGr layer'
                     % src.name, 12, '#333')]
        y = 130
        for ch, name, keys in entries[start:start + per_page]:
            body += [text(80, y, SHOWN.get(ord(ch), ch), 14, ALTGR_COLOUR, 'middle'),
                     text(110, y, name, 10), text(400, y, keys, 10, '#333')]
            y += 19.5
        pages.append(page(A4_PORTRAIT, body))
    return pages


def wrap(words, width):
    lines, line = [], ''
    for word in words:
        if line and len(line) + 1 + len(word) > width:
            lines.append(line)
            line = word
        else:
            line = (line + ' ' + word) if line else word
    if line:
        lines.append(line)
    return lines


def guide_pages(guide_path):
    """The guide's text: '# ' title, '## ' headings, '- ' bullets, blank-line paragraphs."""
    with open(guide_path, encoding='utf-8') as f:
        blocks = [b.strip() for b in f.read().split('\n\n') if b.strip()]
    pages, body, y = [], [], 80
    bottom = A4_PORTRAIT[1] - 70

    def emit(lines, size, lead, x=60, weight='normal', gap=8, keep=0):
        nonlocal body, y
        if y + lead * len(lines) + keep > bottom:
            pages.append(page(A4_PORTRAIT, body))
            body, y = [], 80
        for line in lines:
            body.append(text(x, y, line, size, weight=weight))
            y += lead
        y += gap

    for block in blocks:
        if block.startswith('# '):
            emit([block[2:]], 24, 30, weight='bold', gap=10)
        elif block.startswith('## '):
            emit([block[3:]], 15, 20, weight='bold', gap=2, keep=60)  # not alone at the foot
        elif block.startswith('- '):
            for item in block.split('\n- '):
                lines = wrap(item.lstrip('- ').split(), 82)
                emit(['\u2022 ' + lines[0]] + ['   ' + l for l in lines[1:]], 10.5, 14.5, x=70, gap=3)
            y += 5
        else:
            emit(wrap(block.split(), 88), 10.5, 14.5)
    pages.append(page(A4_PORTRAIT, body))
    return pages


def write_pages(outdir, pages):
    os.makedirs(outdir, exist_ok=True)
    for name in os.listdir(outdir):
        if name.endswith('.svg'):
            os.remove(os.path.join(outdir, name))
    for i, svg in enumerate(pages):
        with open(os.path.join(outdir, '%02d.svg' % i), 'w', encoding='utf-8') as f:
            f.write(svg)


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    src = kbdsrc.load(argv[2])
    if argv[1] == 'charts':
        images = src.images()
        write_pages(argv[3], typography_pages(src, images[0]) + [chart_page(src, im) for im in images])
    elif argv[1] == 'guide':
        write_pages(argv[4], guide_pages(argv[3]) + [chart_page(src, src.image('A', 0))])
    elif argv[1] == 'readme-chart':
        with open(argv[3], 'w', encoding='utf-8') as f:
            f.write(chart_page(src, src.image('A', 0)))
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv)
