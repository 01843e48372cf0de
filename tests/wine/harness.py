#!/usr/bin/env python3
"""Runs one Windows program in a throwaway Wine prefix.

    harness.py run [--os win2k|winxp|vista|win7|win10] [--lang en|pl]
                   [--timeout SEC] [--name NAME] [--keep] [--out DIR]
                   [--desktop WxH] [--pre CMD]... [--post CMD]...
                   [--screenshot SEC]... -- PROGRAM.exe [ARGS...]
    harness.py template [--os OS]...      prepare template prefixes only

Each scenario gets a copy of a prepared template prefix (one 32-bit, one
64-bit, booted once under a lock so parallel tests share the work), with
the Windows version and the user language set, its own HOME, and its own
Xvfb display when DISPLAY is unset. The exit code is the program's, 124 on
time-out; whatever was started is ended before returning.

--pre and --post take host shell commands run in the scenario before and
after the program by bash, with WINEPREFIX and WINE_SCENARIO_PREFIX set, so
  --pre "wine reg add 'HKCU\\Software\\X' /v Y /d Z /f"
prepares the registry and --post "wine reg query ..." inspects it while the
prefix is alive (quote backslashes for that shell).
A failing --pre aborts the scenario (exit 125); a failing --post fails it
with the command's exit code when the program itself succeeded.
"""

import argparse
import fcntl
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import uuid
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
ENV_SCRIPT = REPO / "tools" / "wine-env.sh"

# Windows version name in Wine's registry and which template carries it.
OS_TABLE = {
    "win2k": ("win2k", "win32"),
    "winxp": ("winxp", "win32"),
    "vista": ("vista", "win64"),
    "win7":  ("win7",  "win64"),
    "win10": ("win10", "win64"),
}
LANG_TABLE = {"en": "en_US.UTF-8", "pl": "pl_PL.UTF-8"}

EXIT_TIMEOUT = 124
EXIT_SETUP = 125
TEMPLATE_STAMP = "kreska-template-ready"


def log(msg):
    print(f"harness: {msg}", file=sys.stderr, flush=True)


def templates_dir():
    return Path(os.environ.get("KRESKA_WINE_TEMPLATES", REPO / "build" / "wine" / "templates"))


def scenarios_dir():
    return Path(os.environ.get("KRESKA_WINE_SCENARIOS", REPO / "build" / "wine" / "scenarios"))


def base_env(prefix, home, lang):
    env = dict(os.environ)
    locale = LANG_TABLE[lang]
    env.update({
        "WINEPREFIX": str(prefix),
        "WINEDEBUG": env.get("KRESKA_WINEDEBUG", "-all"),
        # No Mono/Gecko download prompts, no menu entries on the host.
        "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
        "LANG": locale, "LC_ALL": locale, "LANGUAGE": "",
        "HOME": str(home),
        "XDG_CONFIG_HOME": str(home / ".config"),
        "XDG_DATA_HOME": str(home / ".local" / "share"),
        "XDG_CACHE_HOME": str(home / ".cache"),
        "XDG_RUNTIME_DIR": str(home / ".run"),
        "WINE_SCENARIO_PREFIX": str(prefix),
    })
    env.pop("WINEARCH", None)
    for d in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"):
        Path(env[d]).mkdir(parents=True, exist_ok=True)
    os.chmod(env["XDG_RUNTIME_DIR"], 0o700)
    return env


def ensure_wine():
    """Makes sure 32-bit Wine can start (binfmt registration is lost at reboot)."""
    if ENV_SCRIPT.exists():
        r = subprocess.run(["bash", str(ENV_SCRIPT)])
        if r.returncode != 0:
            log("tools/wine-env.sh failed: Wine cannot run 32-bit programs here")
            return False
    return True


def wine_version():
    r = subprocess.run(["wine", "--version"], capture_output=True, text=True)
    return r.stdout.strip()


def make_template(arch):
    """Returns the template prefix for arch ('win32' or 'win64'), booting it once."""
    root = templates_dir()
    root.mkdir(parents=True, exist_ok=True)
    final = root / arch
    stamp = final / TEMPLATE_STAMP
    version = wine_version()
    with open(root / f".{arch}.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if stamp.exists() and stamp.read_text().strip() == version:
            return final
        log(f"preparing the {arch} template prefix in {final} (once)")
        shutil.rmtree(final, ignore_errors=True)
        work = Path(tempfile.mkdtemp(prefix=f".{arch}-", dir=root))
        home = work / "home"
        prefix = work / "prefix"
        home.mkdir()
        env = base_env(prefix, home, "en")
        env["WINEARCH"] = arch
        ok = subprocess.run(["wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL).returncode == 0
        subprocess.run(["wineserver", "-w"], env=env)
        ok = ok and (prefix / "system.reg").exists()
        if not ok:
            shutil.rmtree(work, ignore_errors=True)
            raise RuntimeError(f"wineboot failed for the {arch} template")
        detach_profile_links(prefix)
        (prefix / TEMPLATE_STAMP).write_text(version + "\n")
        prefix.rename(final)
        shutil.rmtree(work, ignore_errors=True)
        return final


def detach_profile_links(prefix):
    """Wine links Desktop, Documents, ... to the booting HOME: make them real folders."""
    users = prefix / "drive_c" / "users"
    for link in users.glob("*/*"):
        if link.is_symlink():
            link.unlink()
            link.mkdir()


def set_user_registry(prefix, values):
    """Appends HKCU values to user.reg before the prefix's wineserver starts.

    values: {key path relative to HKCU: {name: string value}}. A later
    section for an existing key adds to it when Wine loads the file."""
    lines = []
    for key, entries in values.items():
        lines.append("\n[%s]" % key.replace("\\", "\\\\"))
        for name, value in entries.items():
            lines.append('"%s"="%s"' % (name, value.replace("\\", "\\\\")))
    with open(prefix / "user.reg", "a") as f:
        f.write("\n".join(lines) + "\n")


class Xvfb:
    """Its own X server on a display Xvfb picks itself (-displayfd), so parallel
    scenarios never collide."""

    def __init__(self, size):
        self.proc = None
        self.display = None
        self.size = size

    def start(self):
        r, w = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", f"{self.size}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        if not number:
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        return self.display

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None


def run_shell_steps(steps, env, what):
    for cmd in steps:
        log(f"{what}: {cmd}")
        r = subprocess.run(["bash", "-c", cmd], env=env)
        if r.returncode != 0:
            log(f"{what} step failed with exit code {r.returncode}")
            return r.returncode
    return 0


def kill_group(proc):
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    proc.wait()


def take_screenshots(times, out, env, proc):
    start = time.monotonic()
    for t in sorted(times):
        delay = start + t - time.monotonic()
        try:
            proc.wait(max(delay, 0))
            return
        except subprocess.TimeoutExpired:
            pass
        path = Path(out) / f"screen-{t:g}s.png"
        subprocess.run(["import", "-window", "root", str(path)], env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        log(f"screenshot {path}")


def run_scenario(args):
    if not args.program:
        log("no program given (put it after --)")
        return 2
    if not ensure_wine():
        return EXIT_SETUP
    winver, arch = OS_TABLE[args.os]
    try:
        template = make_template(arch)
    except RuntimeError as e:
        log(str(e))
        return EXIT_SETUP

    name = args.name or Path(args.program[0]).stem
    scenarios = scenarios_dir()
    scenarios.mkdir(parents=True, exist_ok=True)
    scenario = scenarios / f"{name}-{args.os}-{args.lang}-{uuid.uuid4().hex[:8]}"
    prefix = scenario / "prefix"
    home = scenario / "home"
    scenario.mkdir()
    home.mkdir()
    subprocess.run(["cp", "-a", "--reflink=auto", str(template), str(prefix)], check=True)

    user_values = {"Software\\Wine": {"Version": winver}}
    if args.desktop:
        user_values["Software\\Wine\\Explorer"] = {"Desktop": "Default"}
        user_values["Software\\Wine\\Explorer\\Desktops"] = {"Default": args.desktop}
    set_user_registry(prefix, user_values)

    env = base_env(prefix, home, args.lang)
    if args.out:
        Path(args.out).mkdir(parents=True, exist_ok=True)
        env["WINE_SCENARIO_OUT"] = str(Path(args.out).resolve())
    log(f"prefix {prefix} ({args.os}, {args.lang})")

    xvfb = None
    code = EXIT_SETUP
    try:
        if not os.environ.get("DISPLAY"):
            xvfb = Xvfb(args.desktop or "1024x768")
            env["DISPLAY"] = xvfb.start()
        code = run_shell_steps(args.pre, env, "pre")
        if code != 0:
            code = EXIT_SETUP
            return code
        code = run_program(args, env)
        post = run_shell_steps(args.post, env, "post")
        if code == 0 and post != 0:
            code = post
        return code
    finally:
        finish(env, args.keep)
        if xvfb:
            xvfb.stop()
        if args.keep:
            log(f"kept {scenario}")
        else:
            shutil.rmtree(scenario, ignore_errors=True)
        if sys.exc_info()[0] is None:
            log(f"exit code {code}")
        else:
            log("interrupted")


def run_program(args, env):
    cmd = ["wine"] + args.program
    proc = subprocess.Popen(cmd, env=env, start_new_session=True)
    try:
        if args.screenshot and args.out:
            take_screenshots(args.screenshot, args.out, env, proc)
        return proc.wait(args.timeout)
    except subprocess.TimeoutExpired:
        log(f"time-out after {args.timeout} s")
        kill_group(proc)
        return EXIT_TIMEOUT


def finish(env, keep):
    """Ends every process of this prefix; a kept prefix first gets the chance
    to shut down normally so its registry is written to disk."""
    if keep:
        try:
            subprocess.run(["wineserver", "-w"], env=env, timeout=20)
        except subprocess.TimeoutExpired:
            pass
    subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
    try:
        subprocess.run(["wineserver", "-w"], env=env, timeout=20)
    except subprocess.TimeoutExpired:
        log("wineserver did not end")


def main(argv):
    parser = argparse.ArgumentParser(prog="harness.py")
    sub = parser.add_subparsers(dest="command", required=True)
    run = sub.add_parser("run", help="run a program in a throwaway prefix")
    run.add_argument("--os", choices=OS_TABLE, default="win7")
    run.add_argument("--lang", choices=LANG_TABLE, default="en")
    run.add_argument("--timeout", type=float, default=120)
    run.add_argument("--name")
    run.add_argument("--keep", action="store_true", help="keep the scenario folder")
    run.add_argument("--out", help="folder for screenshots and the program's own files")
    run.add_argument("--desktop", metavar="WxH", help="run inside a Wine virtual desktop")
    run.add_argument("--pre", action="append", default=[], metavar="CMD")
    run.add_argument("--post", action="append", default=[], metavar="CMD")
    run.add_argument("--screenshot", action="append", type=float, default=[], metavar="SEC",
                     help="screenshot SEC seconds after the start (needs --out)")
    run.add_argument("program", nargs=argparse.REMAINDER)
    tpl = sub.add_parser("template", help="prepare the template prefix for an OS")
    tpl.add_argument("--os", choices=OS_TABLE, action="append", default=[],
                     help="repeatable; prepares each distinct template once")
    args = parser.parse_args(argv)

    if args.command == "template":
        if not ensure_wine():
            return EXIT_SETUP
        try:
            for arch in sorted({OS_TABLE[name][1] for name in args.os or ["win7"]}):
                print(make_template(arch))
        except RuntimeError as e:
            log(str(e))
            return EXIT_SETUP
        return 0
    # A terminated harness still ends its Wine processes and Xvfb (the
    # finally blocks run on SystemExit).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    if args.program and args.program[0] == "--":
        args.program = args.program[1:]
    if args.desktop and "x" not in args.desktop:
        parser.error("--desktop takes WxH, e.g. 800x600")
    return run_scenario(args)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
