"""Peer: make a numbered stamp file of the source's page count and size with PyMuPDF, then
overlay it with qpdf. The stamp file is part of the measured work."""
import subprocess
import sys

import fitz

source, target, stamps = sys.argv[1], sys.argv[2], sys.argv[3]
with fitz.open(source) as doc:
    count = len(doc)
    size = doc[0].rect if count else fitz.Rect(0, 0, 595, 842)
out = fitz.open()
for i in range(count):
    page = out.new_page(width=size.width, height=size.height)
    text = f"Page {i + 1} of {count}"
    width = fitz.get_text_length(text, fontname="helv", fontsize=12)
    page.insert_text((size.width - 36 - width, size.height - 36 - 3), text,
                     fontname="helv", fontsize=12)
out.save(stamps)
subprocess.run(["qpdf", source, "--overlay", stamps, "--", target], check=True)
