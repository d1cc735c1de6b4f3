"""Peer: stamp "Page i of n" at the bottom right, 36 pt in, with PyMuPDF, then save."""
import sys

import fitz

source, target = sys.argv[1], sys.argv[2]
doc = fitz.open(source)
count = len(doc)
for i, page in enumerate(doc):
    text = f"Page {i + 1} of {count}"
    width = fitz.get_text_length(text, fontname="helv", fontsize=12)
    rect = page.rect
    page.insert_text((rect.width - 36 - width, rect.height - 36 - 3), text,
                     fontname="helv", fontsize=12)
doc.save(target)
