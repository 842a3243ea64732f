#!/usr/bin/env python3
"""Runs codecs_bench and, when they are installed, libvips and ImageMagick on the
same 4096 x 4096 files, and prints how many times faster our codecs are.

usage: bench/compare_codecs.py [build/bin/codecs_bench]

The other tools run as programs, so their times include starting up; the time of
each tool on a 1 x 1 picture is taken off. Ratios above 1 mean ours is faster.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

FORMATS = [("PNG", "png"), ("JPEG", "jpg"), ("TIFF", "tif"), ("BMP", "bmp"),
           ("TGA", "tga"), ("PCX", "pcx"), ("PSD", "psd")]


def best_time(command, runs=3):
    best = None
    for _ in range(runs):
        start = time.perf_counter()
        done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        elapsed = (time.perf_counter() - start) * 1000
        if done.returncode != 0:
            return None
        best = elapsed if best is None else min(best, elapsed)
    return best


def main():
    bench = sys.argv[1] if len(sys.argv) > 1 else "build/bin/codecs_bench"
    folder = tempfile.mkdtemp(prefix="quiltara-bench-")
    try:
        subprocess.run([bench, "--write-files", folder], check=True)
        out = subprocess.run([bench, "--benchmark_format=json", "--benchmark_min_time=1"],
                             check=True, capture_output=True, text=True).stdout
        ours = {b["name"]: b for b in json.loads(out)["benchmarks"]}
        raw = os.path.join(folder, "bench.ppm")
        tiny = os.path.join(folder, "tiny.ppm")
        with open(tiny, "wb") as f:
            f.write(b"P6\n1 1\n255\n\0\0\0")

        tools = {}
        if shutil.which("vips"):
            native = os.path.join(folder, "bench.v")
            tiny_native = os.path.join(folder, "tiny.v")
            subprocess.run(["vips", "copy", raw, native], check=True)
            subprocess.run(["vips", "copy", tiny, tiny_native], check=True)
            tools["vips"] = (lambda f: ["vips", "avg", f],
                             lambda src_is_tiny, dst: ["vips", "copy", tiny_native if src_is_tiny else native, dst])
        if shutil.which("convert"):
            cache = os.path.join(folder, "bench.mpc")
            tiny_cache = os.path.join(folder, "tiny.mpc")
            subprocess.run(["convert", raw, cache], check=True)
            subprocess.run(["convert", tiny, tiny_cache], check=True)
            tools["magick"] = (lambda f: ["convert", f, "null:"],
                               lambda src_is_tiny, dst: ["convert", tiny_cache if src_is_tiny else cache, dst])

        print(f"{'format':6} {'op':6} {'ours ms':>9} {'MB':>6}", end="")
        for name in tools:
            print(f" {name + ' ms':>10} {'MB':>6} {'ratio':>6}", end="")
        print()
        for label, ext in FORMATS:
            for op in ("Decode", "Encode"):
                mine = ours[f"{op}/{label}"]
                line = f"{label:6} {op:6} {mine['real_time']:9.1f} {mine.get('file_MB', 0):6.1f}"
                for name, (decode, encode) in tools.items():
                    if op == "Decode":
                        path = os.path.join(folder, "bench." + ext)
                        tiny_file = os.path.join(folder, "tiny." + ext)
                        subprocess.run(["convert", tiny, tiny_file], stderr=subprocess.DEVNULL)
                        full, base = best_time(decode(path)), best_time(decode(tiny_file))
                        size = os.path.getsize(path) / 1e6
                    else:
                        target = os.path.join(folder, f"{name}.{ext}")
                        full = best_time(encode(False, target))
                        base = best_time(encode(True, os.path.join(folder, f"{name}-tiny.{ext}")))
                        size = os.path.getsize(target) / 1e6 if os.path.exists(target) else 0
                    if full is None or base is None:
                        line += f" {'n/a':>10} {'':>6} {'':>6}"
                        continue
                    theirs = max(full - base, 0.1)
                    line += f" {theirs:10.1f} {size:6.1f} {theirs / mine['real_time']:6.2f}"
                print(line)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
