"""Tests of the layout tools: the source's meaning, the pattern derivation and
item list, the C literal escaping, and the committed README chart."""
import os
import struct
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, 'tools'))

import kbddocs    # noqa: E402
import kbdgen     # noqa: E402
import kbdpatterns  # noqa: E402
import kbdsrc     # noqa: E402

SOURCE = os.path.join(ROOT, 'layout', 'kreska.kbd')
VK = kbdsrc.VK
ALTGR = 3


def altgr(image, vk):
    row = next(r for r in image.rows if r.vk == VK[vk])
    return row.cols[ALTGR]


class SourceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.src = kbdsrc.load(SOURCE)

    def test_variants_differ_only_where_they_say(self):
        a0, a1, a2 = (self.src.image('A', v) for v in range(3))
        self.assertEqual((chr(altgr(a0, 'Z').ch), chr(altgr(a0, 'X').ch)), ('ż', 'ź'))
        self.assertEqual((chr(altgr(a1, 'Z').ch), chr(altgr(a1, 'X').ch)), ('ź', 'ż'))
        self.assertEqual(a0.scan, a1.scan)
        changed = [sc for sc in range(0x7F) if a0.scan[sc] != a2.scan[sc]]
        self.assertEqual(changed, [0x15, 0x2C])
        self.assertEqual((a2.scan[0x15], a2.scan[0x2C]), (VK['Z'], VK['Y']))

    def test_set_b_adds_dead_keys_and_keeps_the_rest(self):
        for v in range(3):
            a, b = self.src.image('A', v), self.src.image('B', v)
            dead_vks = {r.vk for r in b.rows if any(c and c.dead for c in r.cols)}
            self.assertEqual(dead_vks, {VK['OEM_7'], VK['OEM_1'], VK['OEM_3']})
            rows_a = {r.vk: r for r in a.rows}
            for r in b.rows:
                if r.vk not in dead_vks:
                    self.assertEqual(r, rows_a[r.vk])
            self.assertEqual((a.scan, a.e0, a.e1), (b.scan, b.e0, b.e1))
            self.assertEqual(a.dead, [])

    def test_every_dead_key_composes_and_is_named(self):
        b = self.src.image('B', 0)
        marks = {c.ch for r in b.rows for c in r.cols if c and c.dead}
        self.assertEqual(marks, {d for d, _ in b.names_dead})
        for mark in marks:
            composed = {base: c for d, base, c in b.dead if d == mark}
            self.assertEqual(composed.get(0x20), mark, 'dead key then Space gives the mark')
        self.assertEqual(len({(d, base) for d, base, _ in b.dead}), len(b.dead))

    def test_prefixed_keys_of_the_key_table_are_in_the_runs(self):
        # The installer skips an override for a prefixed key missing from the
        # E0 or E1 run, so every such key of its key table must be there.
        e0 = [0x10, 0x19, 0x1C, 0x1D, 0x20, 0x21, 0x22, 0x24, 0x2E, 0x30, 0x32, 0x35,
              0x37, 0x38, 0x46, 0x47, 0x48, 0x49, 0x4B, 0x4D, 0x4F, 0x50, 0x51, 0x52,
              0x53, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F] + list(range(0x65, 0x6E))
        for image in self.src.images():
            self.assertEqual(sorted(sc for sc, _ in image.e0), e0)
            self.assertEqual([sc for sc, _ in image.e1], [0x1D])

    def test_polish_letters_everywhere(self):
        for image in self.src.images():
            typed = {c.ch for r in image.rows for c in r.cols if c and not c.dead}
            typed |= {c for _, _, c in image.dead}
            for letter in 'ąćęłńóśźżĄĆĘŁŃÓŚŹŻ':
                self.assertIn(ord(letter), typed, (image.set, image.variant, letter))


def pe_header(timestamp=0):
    """The smallest PE header the pattern tool accepts: no sections, no imports."""
    data = bytearray(0x40 + 24 + 96 + 16 * 8)
    data[0:2] = b'MZ'
    struct.pack_into('<I', data, 0x3C, 0x40)
    data[0x40:0x44] = b'PE\0\0'
    struct.pack_into('<I', data, 0x40 + 8, timestamp)
    struct.pack_into('<H', data, 0x40 + 20, 96 + 16 * 8)
    struct.pack_into('<H', data, 0x40 + 24, 0x10B)
    return bytes(data)


class PatternTest(unittest.TestCase):
    def test_shortest_unique_run(self):
        a = b'\x01\x02' * 3 + b'TARGETxxTAIL' + b'TARGETyy'
        b = b'zz' + b'TARGETxxTAIL' + b'TARGETzz'
        pattern = kbdpatterns.derive([(a, 6, 'a'), (b, 2, 'b')], 'test', 64)
        self.assertEqual(pattern, b'TARGETxx')

    def test_no_pattern_fails(self):
        twice = b'ABCDEFGHIJ' * 2
        with self.assertRaises(SystemExit):
            kbdpatterns.derive([(twice, 0, 'a')], 'repeated', 10)
        with self.assertRaises(SystemExit):   # the images disagree at once
            kbdpatterns.derive([(b'ABCDEFGHIJ', 0, 'a'), (b'ABCDEFXHIJ', 0, 'b')], 'differ', 10)

    def fake_images(self, folder, src, repeat_e0=False, timestamp=0):
        """Images that hold the tables between filler bytes of their own."""
        for image in src.images():
            tables = [kbdpatterns.scan_table(image), kbdpatterns.run_table(image.e0),
                      kbdpatterns.run_table(image.e1), kbdpatterns.decimal_row(image)]
            if repeat_e0:
                tables.append(kbdpatterns.run_table(image.e0))
            # zeros first, like the terminator that follows every real table
            filler = bytes(4) + struct.pack('<I', 0xA5A50000 + image.variant) * 8
            data = pe_header(timestamp) + filler + filler.join(tables) + filler
            name = 'kbdkresk_%s%d.dll' % (image.set.lower(), image.variant)
            with open(os.path.join(folder, name), 'wb') as f:
                f.write(data)

    def run_tool(self, repeat_e0=False, timestamp=0):
        src = kbdsrc.load(SOURCE)
        tmp = tempfile.mkdtemp()
        d32, d64 = os.path.join(tmp, '32'), os.path.join(tmp, '64')
        os.makedirs(d32)
        os.makedirs(d64)
        self.fake_images(d32, src, repeat_e0, timestamp)
        self.fake_images(d64, src, repeat_e0)
        out_p, out_i = os.path.join(tmp, 'patterns.txt'), os.path.join(tmp, 'items.txt')
        kbdpatterns.main(['kbdpatterns.py', SOURCE, d32, d64, out_p, out_i, 's.pdf', 'p.html', 'd.pdf'])
        with open(out_p) as f:
            patterns = dict(l.rstrip('\n').split('\t') for l in f if not l.startswith('#'))
        with open(out_i) as f:
            items = dict(l.rstrip('\n').split('\t') for l in f)
        return d32, d64, patterns, items

    def test_patterns_and_items(self):
        d32, d64, patterns, items = self.run_tool()
        self.assertEqual(sorted(patterns), [str(n) for n in range(146, 152)])
        for hexdigits in patterns.values():
            self.assertRegex(hexdigits, r'^([0-9A-F]{2}){4,}$')
        self.assertTrue(patterns['146'].startswith('2E002E00'))   # the two '.' of the keypad
        self.assertEqual(sorted(map(int, items)), list(range(7, 85)) + [86, 87, 88])
        # (item, folder, image): slot 0 of set A group 0, its AMD64 and IA64
        # slots, the last slot of set A, the first and last of set B.
        cases = [(7, d32, 'a0'), (11, d64, 'a0'), (10, d64, 'a0'), (19, d64, 'a0'),
                 (18, d32, 'a0'), (20, d32, 'a1'), (45, d64, 'a2'), (46, d32, 'b0'),
                 (84, d64, 'b2')]
        for item, folder, image in cases:
            self.assertEqual(items[str(item)], os.path.join(folder, 'kbdkresk_%s.dll' % image), item)
        self.assertTrue(items['88'].endswith('d.pdf'))

    def test_a_repeated_table_fails_the_build(self):
        with self.assertRaises(SystemExit):
            self.run_tool(repeat_e0=True)

    def test_a_link_timestamp_fails_the_build(self):
        with self.assertRaisesRegex(SystemExit, 'timestamp'):
            self.run_tool(timestamp=0x5F000000)


class GeneratorTest(unittest.TestCase):
    def test_wide_literals(self):
        cases = [('Esc', 'L"Esc"'), ('Ż', 'L"\\x017b"'), ('ŻA', 'L"\\x017b" L"A"'),
                 ('Żz', 'L"\\x017bz"'), ('a"b\\', 'L"a\\x0022" L"b\\x005c"')]
        for text, literal in cases:
            self.assertEqual(kbdgen.cstr(text), literal)

    def test_readme_chart_is_current(self):
        src = kbdsrc.load(SOURCE)
        with open(os.path.join(ROOT, 'layout', 'chart.svg'), encoding='utf-8') as f:
            self.assertEqual(f.read(), kbddocs.chart_page(src, src.image('A', 0)),
                             'regenerate layout/chart.svg (see README)')


if __name__ == '__main__':
    unittest.main()
