#!/usr/bin/env python3
"""The harness's contract, end to end:
    test_harness.py EXIT_CODE_EXE GTEST_SMOKE_EXE"""
import subprocess
import sys
from pathlib import Path

HARNESS = Path(__file__).with_name("harness.py")
exit_exe, gtest_exe = sys.argv[1], sys.argv[2]
KEY = r"'HKCU\Software\KreskaHarness'"   # quoted for the shell that runs the steps

#  name              harness options + program                                    code  output must contain
CASES = [
    ("exit code",    ["--", exit_exe, "7"],                                        7,    ""),
    ("time-out",     ["--timeout", "8", "--", exit_exe, "hang"],                    124,  "time-out"),
    ("pre and post", ["--pre", f"wine reg add {KEY} /v Pre /d hello /f",
                      "--post", f"wine reg query {KEY} /v Written",
                      "--", exit_exe, "reg"],                                      0,    "Written"),
    ("failing pre",  ["--pre", "false", "--", exit_exe, "0"],                       125,  "pre step failed"),
    ("failing post", ["--post", f"wine reg query {KEY}", "--", exit_exe, "0"],      1,    "post step failed"),
    ("gtest failure", ["--os", "winxp", "--", gtest_exe,
                       "--gtest_also_run_disabled_tests", "--gtest_filter=*FailsOnPurpose"], 1, "FAILED"),
]

failures = 0
for name, options, code, text in CASES:
    r = subprocess.run([sys.executable, str(HARNESS), "run", "--name", "harness-self"] + options,
                       capture_output=True, text=True, timeout=240)
    output = r.stdout + r.stderr
    if r.returncode != code or text not in output:
        failures += 1
        print(f"FAIL {name}: exit code {r.returncode} (expected {code}), wanted {text!r} in:\n{output}")
    else:
        print(f"ok   {name}")
sys.exit(1 if failures else 0)
