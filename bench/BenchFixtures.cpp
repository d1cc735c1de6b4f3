// Writes the benchmark's input documents:
//   text.pdf        1000 letter pages of ten 11 pt Helvetica lines (about 1 KB of content each,
//                   uncompressed), 100 bookmarks: about 1.2 MB
//   text-light.pdf  1000 A4 pages of ten shorter lines, content compressed: about 0.4 MB
//   scanned.pdf     100 pages, each one 2480 x 3508 JPEG (about 75 MB in all)
#include <cstdio>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <QRandomGenerator>
#include <string>

namespace {

QPDFObjectHandle newPage(QPDF& pdf, double w, double h, QPDFObjectHandle resources,
                         const std::string& content)
{
    QPDFObjectHandle page = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox",
                    QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, w, h)));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
    return page;
}

struct TextFixture
{
    double width, height;
    std::string line; // after "Page N line M: "
    bool compressed;
};

void writeText(const QString& path, const TextFixture& fixture)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/Font", QPDFObjectHandle::newDictionary());
    resources.getKey("/Font").replaceKey("/F1", font);
    QPDFPageDocumentHelper pages(pdf);
    std::vector<QPDFObjectHandle> pageObjects;
    for (int i = 0; i < 1000; ++i) {
        std::string content = "BT /F1 11 Tf 72 760 Td 14 TL\n";
        for (int line = 0; line < 10; ++line) {
            content += "(Page " + std::to_string(i + 1) + " line " + std::to_string(line + 1) +
                       ": " + fixture.line + ") '\n";
        }
        content += "ET\n";
        QPDFObjectHandle page = newPage(pdf, fixture.width, fixture.height, resources, content);
        pages.addPage(QPDFPageObjectHelper(page), false);
        pageObjects.push_back(page);
    }
    // 100 bookmarks, one every ten pages.
    QPDFObjectHandle outlines = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    outlines.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
    QPDFObjectHandle previous;
    QPDFObjectHandle first;
    for (int k = 0; k < 100; ++k) {
        QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        item.replaceKey("/Title",
                        QPDFObjectHandle::newUnicodeString("Chapter " + std::to_string(k + 1)));
        item.replaceKey("/Parent", outlines);
        QPDFObjectHandle dest = QPDFObjectHandle::newArray();
        dest.appendItem(pageObjects[size_t(k * 10)]);
        dest.appendItem(QPDFObjectHandle::newName("/Fit"));
        item.replaceKey("/Dest", dest);
        if (previous.isInitialized()) {
            previous.replaceKey("/Next", item);
            item.replaceKey("/Prev", previous);
        } else {
            first = item;
        }
        previous = item;
    }
    outlines.replaceKey("/First", first);
    outlines.replaceKey("/Last", previous);
    outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(100));
    pdf.getRoot().replaceKey("/Outlines", outlines);
    QPDFWriter writer(pdf, path.toLocal8Bit().constData());
    writer.setStreamDataMode(fixture.compressed ? qpdf_s_compress : qpdf_s_uncompress);
    writer.write();
}

void writeScanned(const QString& path)
{
    // A grey page with noise, so that the JPEG weighs what a real scan does (~750 kB).
    QImage scan(2480, 3508, QImage::Format_Grayscale8);
    QRandomGenerator random(42);
    for (int y = 0; y < scan.height(); ++y) {
        uchar* line = scan.scanLine(y);
        for (int x = 0; x < scan.width(); ++x) {
            line[x] = uchar(200 + random.bounded(56));
        }
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    scan.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 28);

    QPDF pdf;
    pdf.emptyPDF();
    QPDFPageDocumentHelper pages(pdf);
    const double w = 595.2, h = 841.92; // A4 at 300 dpi
    for (int i = 0; i < 100; ++i) {
        QPDFObjectHandle image = QPDFObjectHandle::newStream(&pdf, jpeg.toStdString());
        QPDFObjectHandle dict = image.getDict();
        dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
        dict.replaceKey("/Width", QPDFObjectHandle::newInteger(scan.width()));
        dict.replaceKey("/Height", QPDFObjectHandle::newInteger(scan.height()));
        dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceRGB"));
        dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
        dict.replaceKey("/Filter", QPDFObjectHandle::newName("/DCTDecode"));
        QPDFObjectHandle resources = QPDFObjectHandle::parse("<< /XObject << >> >>");
        resources.getKey("/XObject").replaceKey("/Im0", image);
        const std::string content =
            "q " + std::to_string(w) + " 0 0 " + std::to_string(h) + " 0 0 cm /Im0 Do Q\n";
        pages.addPage(QPDFPageObjectHelper(newPage(pdf, w, h, resources, content)), false);
    }
    QPDFWriter writer(pdf, path.toLocal8Bit().constData());
    writer.setStreamDataMode(qpdf_s_preserve);
    writer.write();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    writeText(
        folder + QStringLiteral("/text.pdf"),
        {612, 792, "The quick brown fox jumps over the lazy dog; pack my box with jugs.", false});
    writeText(folder + QStringLiteral("/text-light.pdf"),
              {595, 842, "The quick brown fox jumps over the lazy dog.", true});
    writeScanned(folder + QStringLiteral("/scanned.pdf"));
    return 0;
}
