#!/usr/bin/env python3
"""The whole program under a contest flood.

Starts the built quillnet (the window under Xvfb or Qt's offscreen platform,
and the console front end) against a small cluster node on loopback that sends
unique, realistic spot lines at fixed rates, and prints for each rate: the
program's CPU time as a percentage of one core, its peak memory, the spots
filed against those sent, and the longest stall of its event loop.

    bench/flood.py [--binary build/rel/quillnet] [--seconds 60]
                   [--rates 150,1500,6000] [--modes window,console]
                   [--display xvfb|offscreen] [--soak MINUTES]

The program reports its event loop and the spots filed through the file named
in QUILLNET_LOOP_PROBE (a 10 ms timer's longest gap each second). "busy ms" is
the most processor time the program used between two ticks: a stall much
longer than it was spent waiting (for the X server, or for a processor on a
busy machine), not working.
--soak runs one rate (the first) for that many minutes and prints the memory
every ten minutes.
"""

import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

PAGE = os.sysconf("SC_PAGE_SIZE")
TICKS = os.sysconf("SC_CLK_TCK")

SPOTTERS = ["W3LPL", "K1TTT", "DL8DAW", "G4IRN", "VE7CC", "JA1YNE", "OH2BH", "N6WIN", "S50R",
            "EA5WU", "OK1RR", "VK2IO", "ZS6NK", "PY2ZX", "LU8DPM", "RA3ATX", "I2WIJ", "SM7GVF"]
PREFIXES = ["DL", "G", "F", "I", "EA", "OH", "SM", "JA", "K", "W", "N", "VE", "PY", "LU", "ZS",
            "VK", "UA", "OK", "SP", "HA", "YO", "LZ", "9A", "S5", "ON", "PA", "OZ", "LA", "ES",
            "YL", "LY", "CT", "EI", "GM", "GW", "UR", "4X", "A6", "HS", "BY", "KH6", "VP8", "ZL"]
# Contest segments of the CW and SSB bands, kHz.
SEGMENTS = [(1810, 1840), (3500, 3560), (3700, 3790), (7000, 7040), (7080, 7180), (14000, 14060),
            (14150, 14300), (21000, 21070), (21200, 21400), (28000, 28080), (28400, 28700)]
COMMENTS = ["CQ WW CW", "TEST", "cq contest", "599 001", "loud", "up 1", "CQ", "5NN",
            "big signal EU", "QRZ?", "calling JA", "59 14", "TNX QSO", "", "weak", "599 BCN"]
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"


def spot_line(n):
    """The n-th spot of the run; every one differs in call and frequency."""
    prefix = PREFIXES[n % len(PREFIXES)]
    k = n // len(PREFIXES)
    digit = str(k % 10)
    k //= 10
    suffix = ""
    for _ in range(3):
        suffix += LETTERS[k % 26]
        k //= 26
    if k:
        suffix += LETTERS[k % 26]
    call = prefix + digit + suffix
    lo, hi = SEGMENTS[n % len(SEGMENTS)]
    khz = lo + (n * 7 % ((hi - lo) * 10)) / 10.0
    spotter = SPOTTERS[n % len(SPOTTERS)] + ":"
    comment = COMMENTS[n % len(COMMENTS)]
    utc = time.strftime("%H%MZ", time.gmtime())
    freq = "%.1f" % khz
    return ("DX de " + spotter).ljust(15) + freq.rjust(9) + "  " + call.ljust(12) + " " + \
        comment.ljust(31) + utc + "\r\n"


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def memory_kb(pid, key):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def probe_lines(path):
    rows = []
    try:
        with open(path) as f:
            for line in f:
                parts = line.split()
                if len(parts) == 4:
                    rows.append((float(parts[0]), int(parts[1]), int(parts[2]), float(parts[3])))
    except FileNotFoundError:
        pass
    return rows


def write_config(folder):
    # A configuration of 92 lines that already holds a callsign (line 67).
    lines = [""] * 92
    lines[66] = "G4TST"
    lines[68] = "1"
    with open(os.path.join(folder, "quillnet.cfg"), "w", newline="") as f:
        f.write("".join(l + "\r\n" for l in lines))


class Xvfb:
    def __init__(self):
        self.proc = None
        self.display = None

    def start(self):
        exe = shutil.which("Xvfb")
        if not exe:
            sys.exit("Xvfb is not installed (tools/install-deps installs xvfb); try --display offscreen")
        r, w = os.pipe()
        self.proc = subprocess.Popen([exe, "-displayfd", str(w), "-screen", "0", "1600x1000x24", "-nolisten",
                                      "tcp"], pass_fds=(w,), stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            self.display = ":" + f.readline().strip()
        return self.display

    def stop(self):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(10)


def run_rate(args, mode, rate, seconds, env_display, soak_every=0):
    work = tempfile.mkdtemp(prefix="quillnet-flood-")
    try:
        data = os.path.join(work, "data")
        os.makedirs(data)
        write_config(data)
        probe = os.path.join(work, "probe.txt")
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.bind(("127.0.0.1", 0))
        listener.listen(1)
        port = listener.getsockname()[1]

        env = dict(os.environ)
        env["QUILLNET_RUNTIME_DIR"] = os.path.join(work, "run")
        env["QUILLNET_LOOP_PROBE"] = probe
        for k in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(k, None)
        cmd = [args.binary, "--data-dir", data]
        if mode == "console":
            cmd.append("--headless")
        elif env_display:
            env["DISPLAY"] = env_display
        else:
            env["QT_QPA_PLATFORM"] = "offscreen"
        cmd.append("telnet://127.0.0.1:%d/" % port)
        prog = subprocess.Popen(cmd, env=env, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        listener.settimeout(20)
        conn, _ = listener.accept()
        conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        conn.setblocking(True)
        conn.sendall(b"Welcome to the flood node\r\nG4TST de FLOOD >\r\n")
        time.sleep(3)  # the window settles before the measured part starts

        cpu0 = cpu_seconds(prog.pid)
        start = time.monotonic()
        rows = probe_lines(probe)
        probe_start = rows[-1][0] if rows else 0.0
        filed_before = rows[-1][2] if rows else 0  # the window's own heading
        sent = 0
        next_report = soak_every
        soak_memory = []
        while True:
            now = time.monotonic() - start
            if now >= seconds:
                break
            due = int(rate * now)
            if due > sent:
                chunk = "".join(spot_line(n) for n in range(sent, due))
                conn.sendall(chunk.encode("ascii"))
                sent = due
            if soak_every and now >= next_report:
                soak_memory.append((now / 60, memory_kb(prog.pid, "VmRSS")))
                print("  %5.0f min  RSS %6.1f MB" % (now / 60, soak_memory[-1][1] / 1024), flush=True)
                next_report += soak_every
            time.sleep(0.005)
        wall = time.monotonic() - start
        cpu1 = cpu_seconds(prog.pid)
        rss_end = memory_kb(prog.pid, "VmRSS")
        # What was sent last may still be in a batch; give it a moment.
        filed = 0
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            rows = probe_lines(probe)
            filed = (rows[-1][2] if rows else 0) - filed_before
            if filed >= sent:
                break
            time.sleep(0.2)
        peak = memory_kb(prog.pid, "VmHWM")
        rows = [r for r in probe_lines(probe) if r[0] > probe_start + 1.0]
        stall = max((r[1] for r in rows), default=-1)
        busy = max((r[3] for r in rows), default=-1)
        prog.send_signal(signal.SIGTERM)
        try:
            prog.wait(10)
        except subprocess.TimeoutExpired:
            prog.kill()
            prog.wait()
        conn.close()
        listener.close()
        return {
            "cpu": 100.0 * (cpu1 - cpu0) / wall,
            "peak": peak / 1024.0,
            "rss": rss_end / 1024.0,
            "filed": filed,
            "sent": sent,
            "stall": stall,
            "busy": busy,
            "soak": soak_memory,
        }
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    p = argparse.ArgumentParser(description="quillnet under a contest flood")
    p.add_argument("--binary", default=os.path.join(here, "..", "build", "rel", "quillnet"))
    p.add_argument("--seconds", type=float, default=60)
    p.add_argument("--rates", default="150,1500,6000")
    p.add_argument("--modes", default="window,console")
    p.add_argument("--display", choices=["xvfb", "offscreen"], default="xvfb")
    p.add_argument("--soak", type=float, default=0, help="minutes at the first rate, memory every 10 minutes")
    args = p.parse_args()
    args.binary = os.path.abspath(args.binary)
    rates = [int(r) for r in args.rates.split(",")]
    modes = args.modes.split(",")

    xvfb = Xvfb()
    display = xvfb.start() if "window" in modes and args.display == "xvfb" else None
    try:
        if args.soak:
            mode = modes[0]
            print("soak: %s, %d spots/s for %.0f minutes" % (mode, rates[0], args.soak), flush=True)
            r = run_rate(args, mode, rates[0], args.soak * 60, display, soak_every=600)
            print("  CPU %.1f %%  peak %.1f MB  end RSS %.1f MB  filed %d of %d  longest stall %d ms (busy %.1f ms)" %
                  (r["cpu"], r["peak"], r["rss"], r["filed"], r["sent"], r["stall"], r["busy"]))
            if r["soak"]:
                base = r["soak"][0][1]  # the first figure is taken after 10 minutes
                print("  end against 10 min: %+.1f %%" % (100.0 * (r["rss"] * 1024 - base) / base))
            return
        print("%-8s %9s %8s %10s %19s %10s %9s" % ("mode", "spots/s", "CPU %", "peak MB", "filed / sent",
                                                     "stall ms", "busy ms"))
        for mode in modes:
            for rate in rates:
                r = run_rate(args, mode, rate, args.seconds, display)
                print("%-8s %9d %8.1f %10.1f %9d / %-9d %10d %9.1f" % (mode, rate, r["cpu"], r["peak"], r["filed"],
                                                                         r["sent"], r["stall"], r["busy"]), flush=True)
    finally:
        xvfb.stop()


if __name__ == "__main__":
    main()
