"""Runs the PDF stamping benchmark and prints medians and ratios. Called by bench/pdf-stamping."""
import os
import statistics
import subprocess
import sys

work, runs = sys.argv[1], int(sys.argv[2])
here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)
veltrane = os.path.join(root, "build", "bench", "veltrane-bench-stamp-pdf")


def tools(source, out):
    return {
        "veltrane": [veltrane, source, out],
        "pymupdf": [sys.executable, os.path.join(here, "pymupdf_stamp.py"), source, out],
        "qpdf-overlay": [sys.executable, os.path.join(here, "qpdf_overlay_stamp.py"), source, out,
                         os.path.join(work, "stamps.pdf")],
        "qpdf-rewrite": ["qpdf", source, out],
    }


def measure(command):
    """Wall seconds and peak resident kB of one whole process."""
    result = subprocess.run(["/usr/bin/time", "-f", "%e %M"] + command,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        raise SystemExit(f"failed: {' '.join(command)}\n{result.stderr}")
    seconds, kilobytes = result.stderr.strip().splitlines()[-1].split()
    return float(seconds), int(kilobytes)


def count_pages_with(path, text):
    out = subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True).stdout
    return out.count(text)


for name, pages in (("text.pdf", 1000), ("scanned.pdf", 100)):
    source = os.path.join(work, name)
    size = os.path.getsize(source)
    print(f"\n{name}: {pages} pages, {size / 1e6:.1f} MB, {runs} runs each (median wall time)")
    medians, peaks, outputs = {}, {}, {}
    for tool, command in tools(source, os.path.join(work, "out.pdf")).items():
        times, rss = [], []
        for _ in range(runs):
            seconds, kb = measure(command)
            times.append(seconds)
            rss.append(kb)
        medians[tool] = statistics.median(times)
        peaks[tool] = max(rss)
        outputs[tool] = os.path.getsize(os.path.join(work, "out.pdf"))
        if tool == "veltrane":
            stamped = count_pages_with(os.path.join(work, "out.pdf"), f"of {pages}")
            print(f"  veltrane stamped pages found by pdftotext: {stamped}/{pages}")
    plain = outputs["qpdf-rewrite"]
    for tool in medians:
        print(f"  {tool:13} {medians[tool]:7.3f} s  peak {peaks[tool] / 1024:7.1f} MB"
              f"  output {outputs[tool] / 1e6:8.3f} MB")
    v = medians["veltrane"]
    print(f"  speed-up over qpdf-overlay: {medians['qpdf-overlay'] / v:.2f}x")
    print(f"  speed-up over pymupdf:      {medians['pymupdf'] / v:.2f}x")
    print(f"  time vs plain qpdf rewrite: {v / medians['qpdf-rewrite']:.2f}x")
    print(f"  output overhead per page vs plain rewrite: {(outputs['veltrane'] - plain) / pages:.0f} bytes")
    limit = 3 * size + 150 * 1024 * 1024
    print(f"  veltrane peak memory {peaks['veltrane'] / 1024:.1f} MB, limit {limit / 1048576:.1f} MB")
