#!/usr/bin/env python3
"""Runs check_image.py on IMAGE and checks its verdict:
    run_case.py pass IMAGE
    run_case.py fail IMAGE TEXT    (the report must mention TEXT)"""
import subprocess
import sys
from pathlib import Path

checker = Path(__file__).with_name("check_image.py")
verdict, image = sys.argv[1], sys.argv[2]
r = subprocess.run([sys.executable, str(checker), image], capture_output=True, text=True)
print(r.stdout, end="")
if verdict == "pass":
    ok = r.returncode == 0
else:
    ok = r.returncode == 1 and sys.argv[3] in r.stdout
if not ok:
    print("expected the checker to %s%s" % (verdict, "" if verdict == "pass" else " mentioning " + repr(sys.argv[3])))
sys.exit(0 if ok else 1)
