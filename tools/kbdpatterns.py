#!/usr/bin/env python3
"""Derives the tailoring patterns (texts 146-151) from the built layout
images and lists the payload items.

  kbdpatterns.py SOURCE WIN32_DIR WIN64_DIR PATTERNS_OUT ITEMS_OUT SHARED_DOC POINTER_TARGET DOC

A pattern is the shortest run of bytes (at least 8) that starts at the place
the installer patches and occurs exactly once in every image it is applied
to. The build fails when no such run exists, when a patched place would
lie outside an image, or when an image imports functions or carries a link
timestamp.
"""
import os
import struct
import sys

import kbdsrc

MIN_PATTERN = 8
SLOTS = 13
# Slots whose file goes to the 32-bit (or only) system folder; the others are
# native 64-bit files. IA64 slots (3, 6, 9) carry the AMD64 image.
WIN32_SLOTS = {0, 1, 2, 5, 8, 11}


def scan_table(image):
    return struct.pack('<127H', *image.scan)


def run_table(run):
    return b''.join(struct.pack('<BxH', sc, vk) for sc, vk in run) + bytes(4)


def decimal_row(image):
    """The keypad decimal row: vk, attributes, then the two characters."""
    row = next(r for r in image.rows if r.vk == kbdsrc.VK['DECIMAL'])
    if len(row.cols) != 2:
        raise SystemExit('the keypad decimal key must have exactly two characters')
    return struct.pack('<BBHH', row.vk, row.attr, row.cols[0].ch, row.cols[1].ch)


def check_image(data, path):
    """A layout library is mapped by the kernel: no imports, and no link
    timestamp, so that the same sources give the same bytes."""
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    if data[pe:pe + 4] != b'PE\0\0':
        raise SystemExit('%s: not a PE image' % path)
    timestamp = struct.unpack_from('<I', data, pe + 8)[0]
    optional = pe + 24
    magic = struct.unpack_from('<H', data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rva, size = struct.unpack_from('<II', data, directories + 8)   # the import directory
    if timestamp:
        raise SystemExit('%s: the image carries a link timestamp' % path)
    if size and any(rva_bytes(data, pe, rva, 20)):
        raise SystemExit('%s: the image imports functions' % path)


def rva_bytes(data, pe, rva, count):
    """count bytes of the image at a relative virtual address."""
    sections = struct.unpack_from('<H', data, pe + 6)[0]
    table = pe + 24 + struct.unpack_from('<H', data, pe + 20)[0]
    for i in range(sections):
        vsize, vaddr, rawsize, rawptr = struct.unpack_from('<IIII', data, table + 40 * i + 8)
        if vaddr <= rva < vaddr + max(vsize, rawsize):
            return data[rawptr + rva - vaddr:rawptr + rva - vaddr + count]
    raise SystemExit('import directory outside every section')


def only(data, needle, what, path):
    at = data.find(needle)
    if at < 0 or data.find(needle, at + 1) >= 0:
        raise SystemExit('%s: %s found %s' % (path, what, 'nowhere' if at < 0 else 'twice'))
    return at


def derive(targets, what, limit):
    """targets: (image bytes, offset, path). The shortest common run of bytes
    from each offset that occurs once in every image."""
    for n in range(MIN_PATTERN, limit + 1, 2):
        runs = {data[at:at + n] for data, at, _ in targets}
        if len(runs) != 1:
            break
        run = runs.pop()
        if all(data.count(run) == 1 for data, _, _ in targets):
            return run
    raise SystemExit('no unique pattern for %s' % what)


def main(argv):
    if len(argv) != 9:
        sys.exit(__doc__)
    source, dir32, dir64, out_patterns, out_items = argv[1:6]
    products = argv[6:9]
    src = kbdsrc.load(source)
    files = {}      # (set, variant, arch) -> path
    located = []    # (data, path, image, offsets)
    for image in src.images():
        for arch, folder in (('x86', dir32), ('amd64', dir64)):
            path = os.path.abspath(os.path.join(
                folder, 'kbdkresk_%s%d.dll' % (image.set.lower(), image.variant)))
            files[(image.set, image.variant, arch)] = path
            with open(path, 'rb') as f:
                data = f.read()
            check_image(data, path)
            p = only(data, scan_table(image), 'scan-code table', path)
            q = only(data, run_table(image.e0), 'E0 table', path)
            q1 = only(data, run_table(image.e1), 'E1 table', path)
            d = only(data, decimal_row(image), 'keypad decimal row', path) + 2
            # Everything the installer writes must lie inside the image.
            ends = (p + 0xFC + 2, q + len(run_table(image.e0)), q1 + len(run_table(image.e1)), d + 4)
            if max(ends) > len(data):
                raise SystemExit('%s: a patched place lies outside the image' % path)
            located.append((data, path, image, {'P': p, 'Q': q, 'Q1': q1, 'D': d}))

    def targets(key, variant=None):
        return [(data, offs[key], path) for data, path, image, offs in located
                if variant is None or image.variant == variant]

    patterns = {146: derive(targets('D'), 'the keypad decimal characters', 64)}
    for variant in range(3):
        patterns[147 + variant] = derive(targets('P', variant),
                                         'the scan-code table of variant %d' % variant, 254)
    e0_len = min(len(run_table(im.e0)) for im in src.images())
    e1_len = min(len(run_table(im.e1)) for im in src.images())
    patterns[150] = derive(targets('Q'), 'the E0 table', e0_len)
    patterns[151] = derive(targets('Q1'), 'the E1 table', e1_len)

    with open(out_patterns, 'w', encoding='utf-8', newline='\n') as f:
        for tid in sorted(patterns):
            f.write('%d\t%s\n' % (tid, patterns[tid].hex().upper()))
    with open(out_items, 'w', encoding='utf-8', newline='\n') as f:
        item = 7
        for set_name in kbdsrc.SETS:
            for variant in range(3):
                for slot in range(SLOTS):
                    arch = 'x86' if slot in WIN32_SLOTS else 'amd64'
                    f.write('%d\t%s\n' % (item, files[(set_name, variant, arch)]))
                    item += 1
        for number, path in zip((86, 87, 88), products):
            f.write('%d\t%s\n' % (number, os.path.abspath(path)))


if __name__ == '__main__':
    main(sys.argv)
