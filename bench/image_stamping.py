"""Runs the picture stamping benchmark; called by bench/image-stamping."""
import glob
import os
import shutil
import statistics
import subprocess
import sys

work, runs = sys.argv[1], int(sys.argv[2])
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
veltrane = os.path.join(root, "build", "bench", "veltrane-bench-stamp-images")

# Debian's ImageMagick policy keeps big images in a disk cache; lift its limits.
policy = os.path.join(work, "policy")
os.makedirs(policy, exist_ok=True)
with open(os.path.join(policy, "policy.xml"), "w") as f:
    f.write("""<policymap>
  <policy domain="resource" name="memory" value="8GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="width" value="64KP"/>
  <policy domain="resource" name="height" value="64KP"/>
  <policy domain="resource" name="area" value="4GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
""")
env = dict(os.environ, MAGICK_CONFIGURE_PATH=policy)
scan = os.path.join(work, "scan.tif")
photos = sorted(glob.glob(os.path.join(work, "photos", "*.jpg")))
out = os.path.join(work, "out")


def fresh_out():
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)


def measure(command, cores):
    fresh_out()
    taskset = ["taskset", "-c", "0" if cores == 1 else "0,1"]
    result = subprocess.run(["/usr/bin/time", "-f", "%e %M"] + taskset + command, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        raise SystemExit(f"failed: {' '.join(command)}\n{result.stderr}")
    seconds, kb = result.stderr.strip().splitlines()[-1].split()
    return float(seconds), int(kb)


def floors():
    """Decode and re-encode without stamping: what any tool must at least spend."""
    return {
        "tiffcp (TIFF floor)": ["tiffcp", "-c", "lzw", scan, os.path.join(out, "copy.tif")],
    }


# Veltrane stamps one file more than there are cores at once, as veltrane-batch does by default.
cases = {
    "20-page LZW TIFF": {
        "veltrane": lambda cores: [veltrane, "--pages", str(cores + 1), out, scan],
        "imagemagick": lambda jobs: ["convert", scan, "-gravity", "SouthEast", "-pointsize", "48",
                                     "-annotate", "+36+36", "Page %p of %n", "-alpha", "off",
                                     "-compress", "LZW", os.path.join(out, "scan.tif")],
    },
    "30 photos with capture dates": {
        "veltrane": lambda cores: [veltrane, "--date", str(cores + 1), out] + photos,
        "imagemagick": lambda jobs: ["mogrify", "-path", out, "-format", "tif", "-gravity",
                                     "SouthEast", "-pointsize", "48", "-annotate", "+36+36",
                                     "%[EXIF:DateTimeOriginal]"] + photos,
    },
}

frame_bytes = 2480 * 3508 * 4
for name, tools in cases.items():
    print(f"\n{name}, {runs} runs each (median wall time, peak resident memory)")
    for cores in (1, 2):
        medians = {}
        for tool, command in tools.items():
            times, peaks = [], []
            for _ in range(runs):
                seconds, kb = measure(command(cores), cores)
                times.append(seconds)
                peaks.append(kb)
            medians[tool] = statistics.median(times)
            print(f"  {cores} core(s)  {tool:12} {medians[tool]:7.2f} s  peak {max(peaks) / 1024:7.1f} MB")
            if tool == "veltrane" and name.startswith("20-page"):
                limit = (4 * frame_bytes) / 1048576 + 100
                print(f"                           limit for the TIFF: {limit:.1f} MB")
        print(f"  {cores} core(s)  speed-up over ImageMagick: {medians['imagemagick'] / medians['veltrane']:.2f}x")
for floor, command in floors().items():
    seconds, _ = measure(command, 1)
    print(f"\n{floor}: {seconds:.2f} s")
