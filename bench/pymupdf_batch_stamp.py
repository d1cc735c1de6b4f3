"""Peer: one file of the batch stamped with PyMuPDF ("Page i of n" at the bottom right and the
logo at the top left, 36 pt in). Pictures are opened as one-page documents, stamped, and
rendered back to a picture."""
import sys

import fitz

source, target, logo = sys.argv[1], sys.argv[2], sys.argv[3]
doc = fitz.open(source)
if not doc.is_pdf:
    doc = fitz.open("pdf", doc.convert_to_pdf())
count = len(doc)
for i, page in enumerate(doc):
    rect = page.rect
    text = f"Page {i + 1} of {count}"
    width = fitz.get_text_length(text, fontname="helv", fontsize=12)
    page.insert_text((rect.width - 36 - width, rect.height - 36 - 3), text,
                     fontname="helv", fontsize=12)
    page.insert_image(fitz.Rect(36, 36, 156, 96), filename=logo)
if source.lower().endswith(".pdf"):
    doc.save(target)
else:
    doc[0].get_pixmap().save(target.rsplit(".", 1)[0] + ".png")
