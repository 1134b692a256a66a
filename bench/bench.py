#!/usr/bin/env python3
"""Times tessaconv on the generated drawings next to the floor of the same
I/O, and prints a report with the ratios and the scaling.  Started by
bench/run.sh, which builds the tools and generates the drawings first.

For every drawing and DXF version the converter runs REPEAT times (after
one warm-up run that is not counted); each run starts with the output
absent, as the parent does.  Wall time is measured around the child,
peak memory is the child's maximum resident set size (wait4).  The floor
is the same measurement of

    cat INPUT > /dev/null
    dd if=/dev/zero of=FILE bs=1M count=SIZE iflag=count_bytes conv=fsync

with SIZE the size of the converter's output, run as one shell command:
reading the input, then writing a file of the output's size and syncing
it to disk, as the converter does.

Drawings are named FAMILY_SIZE (real_100k, lines_1m, ...); two drawings
of one family whose counts differ tenfold give a scaling line.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time

VERSIONS = [(0, "R12"), (1, "R2000"), (2, "R2007")]
MIB = 1024 * 1024


def run_once(argv, remove):
    for p in remove:
        try:
            os.unlink(p)
        except FileNotFoundError:
            pass
    t0 = time.perf_counter()
    proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL)
    _, status, ru = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - t0
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit(f"command failed ({proc.returncode}): {' '.join(argv)}")
    # ru_maxrss is in KiB on Linux
    return wall, ru.ru_utime + ru.ru_stime, ru.ru_maxrss * 1024


def measure(argv, remove, repeat, warmup=1):
    """Median wall time, median CPU time (user + system), peak RSS."""
    for _ in range(warmup):
        run_once(argv, remove)
    walls, cpus, rss = [], [], []
    for _ in range(repeat):
        w, c, m = run_once(argv, remove)
        walls.append(w)
        cpus.append(c)
        rss.append(m)
    return statistics.median(walls), statistics.median(cpus), max(rss)


def setup_exes(exe, workdir):
    """One copy of the converter per DXF version: the settings file lies
    beside the executable, so each copy gets its own."""
    out = {}
    for code, name in VERSIONS:
        d = os.path.join(workdir, "exe-" + name)
        os.makedirs(d, exist_ok=True)
        dst = os.path.join(d, "tessaconv")
        with open(exe, "rb") as f, open(dst + ".new", "wb") as g:
            g.write(f.read())
        os.chmod(dst + ".new", 0o755)
        os.replace(dst + ".new", dst)
        lines = ["50", "50", "480", "480", "True", "False", "False", "False",
                 "False", "", "", d + "/", "1", "Windows",
                 str(code), "0", "0", "0", "0", "0", ""]
        with open(os.path.join(d, "Tessaconv.dat"), "w") as f:
            f.write("\r\n".join(lines) + "\r\n")
        out[name] = dst
    return out


def per_entity(rss, count):
    """Peak memory per entity beyond the first 64 MiB (0 when below)."""
    return max(0, rss - 64 * MIB) / count if count else 0.0


def family(name):
    return name.rsplit("_", 1)[0]


def fmt_t(s):
    return f"{s * 1000:9.1f} ms" if s < 10 else f"{s:9.2f} s "


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True)
    ap.add_argument("--work", required=True, help="folder for outputs")
    ap.add_argument("--repeat", type=int, default=5)
    ap.add_argument("--repeat-large", type=int, default=3,
                    help="repeats for drawings of 1 million entities")
    ap.add_argument("--tiny", required=True, help="tiny drawing for start-up")
    ap.add_argument("--small", help="a small real drawing, timed like the start-up")
    ap.add_argument("--versions", default="R12,R2000,R2007")
    ap.add_argument("drawings", nargs="+", help="NAME=COUNT=PATH")
    a = ap.parse_args()

    exes = setup_exes(a.exe, a.work)
    wanted = [v for _, v in VERSIONS if v in a.versions.split(",")]
    out = os.path.join(a.work, "out.dxf")
    floor_out = os.path.join(a.work, "floor.bin")
    rows = []
    print(f"{'drawing':<11} {'ver':<6} {'entities':>9} {'input':>9} {'output':>10}"
          f" {'time':>12} {'floor':>12} {'ratio':>6} {'MB/s':>7} {'cpu':>12}"
          f" {'floor cpu':>12} {'peak RSS':>10} {'B/ent>64M':>9}", flush=True)
    for spec in a.drawings:
        name, count, path = spec.split("=", 2)
        count = int(count)
        insize = os.path.getsize(path)
        rep = a.repeat_large if count >= 1_000_000 else a.repeat
        for ver in wanted:
            t, cpu, rss = measure([exes[ver], "A", "B", path, out], [out], rep)
            if not os.path.exists(out):
                sys.exit(f"no DXF written for {path} ({ver}): the converter refused"
                         " or failed to read the drawing")
            size = os.path.getsize(out)
            os.unlink(out)
            floor_cmd = ["/bin/sh", "-c",
                         f'cat "$0" > /dev/null; dd if=/dev/zero of="$1" bs=1M'
                         f' count={size} iflag=count_bytes conv=fsync status=none',
                         path, floor_out]
            ft, fcpu, _ = measure(floor_cmd, [floor_out], rep)
            os.unlink(floor_out)
            r = dict(name=name, ver=ver, n=count, insize=insize, size=size, t=t,
                     floor=ft, cpu=cpu, fcpu=fcpu, rss=rss)
            rows.append(r)
            print(f"{name:<11} {ver:<6} {count:>9} {insize / MIB:>7.1f}MB"
                  f" {size / MIB:>8.1f}MB {fmt_t(t)} {fmt_t(ft)} {t / ft:>6.2f}"
                  f" {size / 1e6 / t:>7.1f} {fmt_t(cpu)} {fmt_t(fcpu)}"
                  f" {rss / MIB:>8.1f}MB {per_entity(rss, count):>9.0f}",
                  flush=True)

    # Scaling between drawings of one family whose counts differ tenfold.
    print()
    by = {(r["name"], r["ver"]): r for r in rows}
    pairs = []
    names = sorted({(family(r["name"]), r["n"], r["name"]) for r in rows})
    for (f1, n1, a1), (f2, n2, a2) in zip(names, names[1:]):
        if f1 == f2 and n2 == 10 * n1:
            pairs.append((a1, a2))
    for a1, a2 in pairs:
        for ver in wanted:
            r1, r2 = by.get((a1, ver)), by.get((a2, ver))
            if r1 and r2:
                print(f"scaling {a1} -> {a2} (10x entities) {ver:<6}:"
                      f" time x{r2['t'] / r1['t']:.2f}, cpu x{r2['cpu'] / r1['cpu']:.2f},"
                      f" peak RSS x{r2['rss'] / r1['rss']:.2f}")

    # Start-up: the parent starts one process per drawing.
    t, cpu, rss = measure([exes["R2000"], "A", "B", a.tiny, out], [out], 20, warmup=3)
    print(f"\nstart-up (tiny drawing, R2000, median of 20): {t * 1000:.1f} ms,"
          f" cpu {cpu * 1000:.1f} ms, peak RSS {rss / MIB:.1f} MB")
    results = [("start-up under 20 ms", t < 0.020)]
    if a.small:
        t, cpu, rss = measure([exes["R2000"], "A", "B", a.small, out], [out], 20, warmup=3)
        size = os.path.getsize(out) if os.path.exists(out) else 0
        print(f"small real drawing {os.path.basename(a.small)} ({os.path.getsize(a.small) / 1e3:.0f} kB"
              f" -> {size / 1e3:.0f} kB, R2000, median of 20): {t * 1000:.1f} ms,"
              f" cpu {cpu * 1000:.1f} ms, peak RSS {rss / MIB:.1f} MB")

    # Targets: judged on wall time; the CPU figures tell how much of it was
    # waiting for a machine shared with other work.
    big = [r for r in rows if r["n"] >= 1_000_000 and r["ver"] == "R2000"
           and not r["name"].startswith("jwc")]
    for r in big:
        results.append((f"{r['name']} R2000 within 3x floor ({r['t'] / r['floor']:.2f}x;"
                        f" cpu {r['cpu'] / r['fcpu']:.2f}x)", r["t"] <= 3 * r["floor"]))
        results.append((f"{r['name']} R2000 at least 250 MB/s ({r['size'] / 1e6 / r['t']:.0f};"
                        f" per cpu second {r['size'] / 1e6 / r['cpu']:.0f})",
                        r["size"] / r["t"] >= 250e6))
    for a1, a2 in pairs:
        for ver in wanted:
            r1, r2 = by.get((a1, ver)), by.get((a2, ver))
            if r1 and r2:
                results.append((f"{a1}->{a2} {ver} time x{r2['t'] / r1['t']:.2f} <= 10.5"
                                f" (cpu x{r2['cpu'] / r1['cpu']:.2f})",
                                r2["t"] <= 10.5 * r1["t"]))
    for r in rows:
        if r["n"] < 100_000:
            continue  # the fixed 64 MiB dominates small drawings
        pe = per_entity(r["rss"], r["n"])
        results.append((f"{r['name']} {r['ver']} peak RSS {r['rss'] / MIB:.0f} MB,"
                        f" {pe:.0f} bytes per entity beyond 64 MiB <= 250", pe <= 250))
    print()
    for text, ok in results:
        # The heavy family is a stress case beyond the real mix the targets
        # are set for: its lines say how far it is, marked as such.
        note = " (stress case)" if text.startswith("heavy") else ""
        print(f"  [{'met' if ok else 'MISSED'}] {text}{note}")


if __name__ == "__main__":
    main()
