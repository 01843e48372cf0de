"""Reader of the keyboard-layout source (layout/kreska.kbd).

`load(path)` returns a `Source`; `Source.image(set_name, variant)` resolves the
overrides into the complete tables of one layout image.
"""
import re
from dataclasses import dataclass, field

VK = {
    'NONE': 0xFF, 'CANCEL': 0x03, 'BACK': 0x08, 'TAB': 0x09, 'CLEAR': 0x0C,
    'RETURN': 0x0D, 'PAUSE': 0x13, 'CAPITAL': 0x14, 'ESCAPE': 0x1B,
    'SPACE': 0x20, 'PRIOR': 0x21, 'NEXT': 0x22, 'END': 0x23, 'HOME': 0x24,
    'LEFT': 0x25, 'UP': 0x26, 'RIGHT': 0x27, 'DOWN': 0x28, 'SNAPSHOT': 0x2C,
    'INSERT': 0x2D, 'DELETE': 0x2E, 'HELP': 0x2F, 'LWIN': 0x5B, 'RWIN': 0x5C,
    'APPS': 0x5D, 'SLEEP': 0x5F, 'MULTIPLY': 0x6A, 'ADD': 0x6B,
    'SUBTRACT': 0x6D, 'DECIMAL': 0x6E, 'DIVIDE': 0x6F, 'NUMLOCK': 0x90,
    'SCROLL': 0x91, 'LSHIFT': 0xA0, 'RSHIFT': 0xA1, 'LCONTROL': 0xA2,
    'RCONTROL': 0xA3, 'LMENU': 0xA4, 'RMENU': 0xA5, 'BROWSER_BACK': 0xA6,
    'BROWSER_FORWARD': 0xA7, 'BROWSER_REFRESH': 0xA8, 'BROWSER_STOP': 0xA9,
    'BROWSER_SEARCH': 0xAA, 'BROWSER_FAVORITES': 0xAB, 'BROWSER_HOME': 0xAC,
    'VOLUME_MUTE': 0xAD, 'VOLUME_DOWN': 0xAE, 'VOLUME_UP': 0xAF,
    'MEDIA_NEXT_TRACK': 0xB0, 'MEDIA_PREV_TRACK': 0xB1, 'MEDIA_STOP': 0xB2,
    'MEDIA_PLAY_PAUSE': 0xB3, 'LAUNCH_MAIL': 0xB4,
    'LAUNCH_MEDIA_SELECT': 0xB5, 'LAUNCH_APP1': 0xB6, 'LAUNCH_APP2': 0xB7,
    'OEM_1': 0xBA, 'OEM_PLUS': 0xBB, 'OEM_COMMA': 0xBC, 'OEM_MINUS': 0xBD,
    'OEM_PERIOD': 0xBE, 'OEM_2': 0xBF, 'OEM_3': 0xC0, 'ABNT_C1': 0xC1,
    'ABNT_C2': 0xC2, 'OEM_4': 0xDB, 'OEM_5': 0xDC, 'OEM_6': 0xDD,
    'OEM_7': 0xDE, 'OEM_102': 0xE2, 'OEM_RESET': 0xE9, 'OEM_JUMP': 0xEA,
    'OEM_PA1': 0xEB, 'OEM_PA2': 0xEC, 'OEM_PA3': 0xED, 'OEM_WSCTRL': 0xEE,
    'OEM_FINISH': 0xF1, 'OEM_AUTO': 0xF3, 'OEM_BACKTAB': 0xF5,
    'EREOF': 0xF9, 'ZOOM': 0xFB,
}
VK.update({str(d): 0x30 + d for d in range(10)})
VK.update({chr(c): c for c in range(ord('A'), ord('Z') + 1)})
VK.update({'NUMPAD%d' % d: 0x60 + d for d in range(10)})
VK.update({'F%d' % n: 0x6F + n for n in range(1, 25)})

FLAGS = {'EXT': 0x100, 'MULTIVK': 0x200, 'SPECIAL': 0x400, 'NUMPAD': 0x800}
ATTRS = {'-': 0, 'C': 0x01, 'A': 0x01 | 0x04}
WCH_NONE, WCH_DEAD = 0xF000, 0xF001
SETS = ('A', 'B')


def vk(token):
    """A virtual key by name, or by number (0xNN) where it has no name."""
    return int(token, 16) if token.startswith('0x') else VK[token]


def char(token):
    """One character of the source: c, U+XXXX. Returns its code."""
    if token.startswith('U+'):
        return int(token[2:], 16)
    if len(token) != 1:
        raise ValueError('not one character: %r' % token)
    return ord(token)


@dataclass
class Column:
    ch: int          # the character, or the diacritic of a dead key
    dead: bool = False


@dataclass
class Row:
    vk: int
    attr: int
    cols: list       # Column or None per shift state


@dataclass
class Image:
    """The complete tables of one layout image."""
    set: str
    variant: int
    scan: list       # 127 u16 values, flags included
    e0: list         # (scan, vk) in table order
    e1: list
    rows: list       # Row, in source order
    dead: list       # (diacritic, base, composed)
    names: list      # (scan, text)
    names_ext: list
    names_dead: list  # (diacritic, text)


@dataclass
class Source:
    name: str = ''
    variants: list = field(default_factory=list)
    sections: list = field(default_factory=list)   # (kind, set, variant, lines)

    def _lines(self, kind, set_name, variant):
        for k, s, v, lines in self.sections:
            if k == kind and s in (None, set_name) and v in (None, variant):
                yield from lines

    def image(self, set_name, variant):
        scan = {}
        for line in self._lines('scan', set_name, variant):
            sc, key, *flags = line.split()
            scan[int(sc, 16)] = vk(key) | sum(FLAGS[f] for f in flags)
        if sorted(scan) != list(range(0x7F)):
            raise ValueError('the scan-code table must name codes 00-7E')
        rows = {}
        for line in self._lines('chars', set_name, variant):
            key, attr, *cols = line.split()
            rows[vk(key)] = Row(vk(key), ATTRS[attr], [column(c) for c in cols])
        dead = {}
        for line in self._lines('dead', set_name, variant):
            d, b, c = line.split()
            dead[(char(d), char(b))] = char(c)
        return Image(
            set_name, variant, [scan[i] for i in range(0x7F)],
            prefixed(self._lines('e0', set_name, variant)),
            prefixed(self._lines('e1', set_name, variant)),
            list(rows.values()),
            [(d, b, c) for (d, b), c in dead.items()],
            named(self._lines('names', set_name, variant), lambda s: int(s, 16)),
            named(self._lines('names-ext', set_name, variant), lambda s: int(s, 16)),
            named(self._lines('names-dead', set_name, variant), char))

    def images(self):
        return [self.image(s, v) for s in SETS for v in range(len(self.variants))]


def column(token):
    if token == '--':
        return None
    if token.startswith('*') and len(token) > 1:
        return Column(char(token[1:]), True)
    return Column(char(token))


def prefixed(lines):
    out = []
    for line in lines:
        sc, key, *flags = line.split()
        out.append((int(sc, 16), vk(key) | sum(FLAGS[f] for f in flags)))
    return out


def named(lines, key):
    return [(key(k), text) for k, text in (l.split(None, 1) for l in lines)]


def load(path):
    src = Source()
    current = None
    with open(path, encoding='utf-8') as f:
        for raw in f:
            # comments take whole lines: '#' inside a row is a character
            line = raw.strip()
            if not line or line.startswith('#'):
                continue
            m = re.fullmatch(r'\[([a-z0-9-]+)(?:\s+(set|variant)=(\w+))?\]', line)
            if m:
                kind, key, value = m.groups()
                current = []
                src.sections.append((kind,
                                     value if key == 'set' else None,
                                     int(value) if key == 'variant' else None,
                                     current))
            elif current is None:
                key, value = line.split(None, 1)
                if key == 'name':
                    src.name = value
                elif key == 'variants':
                    src.variants = [v.strip() for v in value.split('|')]
            else:
                current.append(line)
    return src
