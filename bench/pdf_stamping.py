"""Runs the PDF stamping benchmark and prints medians and ratios. Called by bench/pdf-stamping.

Each document is stamped by every tool in turn, RUNS rounds (alternating, so a busy moment of
the machine falls on all tools alike), each starting with nothing left to write to the disk;
figures are medians of whole-process wall times."""
import os
import statistics
import subprocess
import sys
import time

work, runs = sys.argv[1], int(sys.argv[2])
here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)
veltrane = os.path.join(root, "build", "bench", "veltrane-bench-stamp-pdf")
LARGE = "text-20000.pdf"


def tools(name, source, out):
    all_tools = {
        "veltrane": [veltrane, source, out],
        "pymupdf": [sys.executable, os.path.join(here, "pymupdf_stamp.py"), source, out],
        "qpdf-overlay": [sys.executable, os.path.join(here, "qpdf_overlay_stamp.py"), source, out,
                         os.path.join(work, "stamps.pdf")],
        "qpdf-rewrite": ["qpdf", source, out],
    }
    if name == LARGE:  # PyMuPDF takes minutes here; the targets are against the plain rewrite
        return {k: all_tools[k] for k in ("veltrane", "qpdf-rewrite")}
    return all_tools


def measure(command):
    """Wall seconds and peak resident kB of one whole process."""
    # The previous tool's output may still be on its way to the disk: a tool that flushes its
    # own output (Veltrane does, before renaming it into place) would wait for that too.
    os.sync()
    # time(1) gives the peak memory; its wall time is in hundredths of a second, too coarse
    # for runs of a tenth of a second, so the wall time is taken here.
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    seconds = time.perf_counter() - start
    if result.returncode != 0:
        raise SystemExit(f"failed: {' '.join(command)}\n{result.stderr}")
    kilobytes = result.stderr.strip().splitlines()[-1]
    return seconds, int(kilobytes)


def count_pages_with(path, text):
    out = subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True).stdout
    return out.count(text)


seconds_of = {}
for name, pages in (("text.pdf", 1000), ("text-light.pdf", 1000), ("scanned.pdf", 100),
                    (LARGE, 20000)):
    source = os.path.join(work, name)
    size = os.path.getsize(source)
    print(f"\n{name}: {pages} pages, {size / 1e6:.2f} MB, {runs} rounds (median wall time)")
    commands = tools(name, source, os.path.join(work, "out.pdf"))
    times = {tool: [] for tool in commands}
    peaks = {tool: 0 for tool in commands}
    outputs = {}
    for _ in range(runs):
        for tool, command in commands.items():
            seconds, kb = measure(command)
            times[tool].append(seconds)
            peaks[tool] = max(peaks[tool], kb)
            outputs[tool] = os.path.getsize(os.path.join(work, "out.pdf"))
            if tool == "veltrane" and len(times[tool]) == 1:
                stamped = count_pages_with(os.path.join(work, "out.pdf"), f"of {pages}")
                print(f"  veltrane stamped pages found by pdftotext: {stamped}/{pages}")
    medians = {tool: statistics.median(t) for tool, t in times.items()}
    seconds_of[name] = medians["veltrane"]
    for tool in medians:
        print(f"  {tool:13} {medians[tool]:7.3f} s  peak {peaks[tool] / 1024:7.1f} MB"
              f"  output {outputs[tool] / 1e6:8.3f} MB")
    v = medians["veltrane"]
    for peer in ("pymupdf", "qpdf-overlay"):
        if peer in medians:
            print(f"  faster than {peer + ':':14} {medians[peer] / v:.2f}x")
    print(f"  time vs plain qpdf rewrite:  {v / medians['qpdf-rewrite']:.2f}x")
    print(f"  output growth per page:      {(outputs['veltrane'] - size) / pages:.0f} bytes"
          f" over the source, {(outputs['veltrane'] - outputs['qpdf-rewrite']) / pages:.0f}"
          " over the plain rewrite")
    # The large document's own bound is 150 MB; the others', their size and 100 MB more.
    bound = 150 if name == LARGE else (size + 100 * 1048576) / 1048576
    print(f"  veltrane peak memory {peaks['veltrane'] / 1024:.1f} MB (bound {bound:.1f} MB)")

print(f"\n{LARGE} time / text.pdf time: {seconds_of[LARGE] / seconds_of['text.pdf']:.1f}x")
