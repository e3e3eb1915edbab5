#!/usr/bin/env python3
"""Compares XmlDocument::LoadFile with the bare parser on one log.

usage: xml_load_compare.py BUILD_DIR [LOG] [RUNS]
Runs the two programs alternately, RUNS times each (default 9), and prints
the median in-process load time, whole-process wall time, whole-process CPU
time (user + system: the steadiest figure on a busy machine) and peak memory
of each, and their ratios. LOG defaults to /tmp/log100.xml, generated with
genlog.py 270000 when missing.
"""
import os, statistics, subprocess, sys, time

build = sys.argv[1]
log = sys.argv[2] if len(sys.argv) > 2 else "/tmp/log100.xml"
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 9
here = os.path.dirname(os.path.abspath(__file__))
if not os.path.exists(log):
    gen = os.path.join(here, "..", "..", "shared", "bench", "genlog.py")
    if not os.path.exists(gen):
        gen = "/work/shared/bench/genlog.py"
    with open(log, "w") as out:
        subprocess.run([sys.executable, gen, "270000"], stdout=out, check=True)

programs = {name: os.path.join(build, "bench", name) for name in ("xml_load_tovapps", "xml_load_pugixml")}
results = {name: {"load": [], "wall": [], "cpu": [], "rss": []} for name in programs}


def run(name):
    start = time.perf_counter()
    proc = subprocess.Popen([programs[name], log], stdout=subprocess.PIPE)
    out = proc.stdout.read().decode()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{name} failed: {out}")
    load = float(out.split()[1])
    results[name]["load"].append(load)
    results[name]["wall"].append(wall)
    results[name]["cpu"].append(usage.ru_utime + usage.ru_stime)
    results[name]["rss"].append(usage.ru_maxrss / 1024.0)


for name in programs:  # warm the page cache
    run(name)
for r in results.values():
    for v in r.values():
        v.clear()
for i in range(runs):
    for name in (programs if i % 2 == 0 else reversed(list(programs))):
        run(name)

print(f"{log}: {os.path.getsize(log) / 1e6:.1f} MB, {runs} runs each, medians")
med = {n: {k: statistics.median(v) for k, v in r.items()} for n, r in results.items()}
for name, m in med.items():
    print(f"  {name:18} load {m['load']:.3f} s  process {m['wall']:.3f} s  cpu {m['cpu']:.3f} s  peak {m['rss']:.0f} MiB")
t, p = med["xml_load_tovapps"], med["xml_load_pugixml"]
print(f"  ratio load {t['load'] / p['load']:.3f}  process {t['wall'] / p['wall']:.3f}  cpu {t['cpu'] / p['cpu']:.3f}  peak memory {t['rss'] / p['rss']:.3f}")
