#!/usr/bin/env python3
"""pdffix.py FILE.pdf: replaces the file identifier that the PDF joiner
draws at random with one derived from the content, so that the same pages
give the same bytes. The identifier sits in the trailer, after every offset
the cross-reference table records."""
import hashlib
import re
import sys

STRING = rb'\((?:\\.|[^\\)])*\)|<[0-9A-Fa-f]*>'
ID = re.compile(rb'/ID\s*\[\s*(?:%s)\s*(?:%s)\s*\]' % (STRING, STRING), re.S)

path = sys.argv[1]
with open(path, 'rb') as f:
    data = f.read()
matches = list(ID.finditer(data))
if matches:
    last = matches[-1]
    digest = hashlib.md5(data[:last.start()] + data[last.end():]).hexdigest().upper().encode()
    data = data[:last.start()] + b'/ID [<' + digest + b'> <' + digest + b'>]' + data[last.end():]
    with open(path, 'wb') as f:
        f.write(data)
