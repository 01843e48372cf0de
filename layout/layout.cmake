# win32 tree only: patterns, items and product files need both architectures.
