#!/usr/bin/env python3
"""Runs each benchmark program under our runner and under the stock Lua 5.1 interpreter,
checks that both print the same, and prints a table of times (best of N runs), their
ratio (ours / stock), the geometric mean of the ratios and the peak memory of each run.

usage: compare.py [--runner PATH] [--stock PATH] [--runs N] [program ...]
"""
import argparse
import math
import os
import resource
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def run(cmd):
    """Returns (seconds, peak KB, stdout) of one run."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    proc = subprocess.run(cmd, capture_output=True, text=True)
    elapsed = time.perf_counter() - start
    if proc.returncode != 0:
        sys.exit(f"{' '.join(cmd)} failed:\n{proc.stderr}")
    # ru_maxrss of the children is the largest of all so far; measure each run in a fresh
    # process through /usr/bin/time instead when precise peaks are needed
    return elapsed, proc.stdout


def peak_kb(cmd):
    proc = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, capture_output=True, text=True)
    return int(proc.stderr.strip().splitlines()[-1])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", default=os.path.join(HERE, "..", "..", "build", "bin", "lua_runner"))
    ap.add_argument("--stock", default="/usr/bin/lua5.1")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("programs", nargs="*")
    args = ap.parse_args()
    progdir = os.path.join(HERE, "programs")
    programs = args.programs or sorted(p for p in os.listdir(progdir) if p.endswith(".lua"))
    rows = []
    for prog in programs:
        path = os.path.join(progdir, prog)
        # Interleaved, so that a busy moment of the machine falls on both alike.
        ours, stock = [], []
        for _ in range(args.runs):
            ours.append(run([args.runner, path]))
            stock.append(run([args.stock, path]))
        if ours[0][1] != stock[0][1]:
            sys.exit(f"{prog}: output differs\n--- ours\n{ours[0][1]}\n--- stock\n{stock[0][1]}")
        t_ours = min(r[0] for r in ours)
        t_stock = min(r[0] for r in stock)
        rows.append((prog, t_ours, t_stock, t_ours / t_stock, peak_kb([args.runner, path]), peak_kb([args.stock, path])))
    print(f"{'program':<18}{'ours s':>9}{'stock s':>9}{'ratio':>8}{'ours KB':>10}{'stock KB':>10}{'mem':>7}")
    for prog, a, b, r, ma, mb in rows:
        print(f"{prog:<18}{a:>9.3f}{b:>9.3f}{r:>8.2f}{ma:>10}{mb:>10}{ma / mb:>7.2f}")
    gmean = math.exp(sum(math.log(r[3]) for r in rows) / len(rows))
    print(f"geometric mean of time ratios: {gmean:.2f} (target <= 0.8, none above 1.0)")
    worst = max(rows, key=lambda r: r[3])
    ok = gmean <= 0.8 and worst[3] <= 1.0
    print("target met" if ok else f"target missed (worst: {worst[0]} {worst[3]:.2f})")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
