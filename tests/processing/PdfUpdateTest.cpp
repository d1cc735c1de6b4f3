// A stamped copy of a readable, unencrypted PDF is the source's bytes followed by an update;
// every other source is rewritten whole. Either way the output must check clean and carry
// every page's stamp.
#include "platform/PdfEditor.h"
#include "support/PdfTools.h"
#include "support/StampJobFixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <QFile>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <set>
#include <utility>

using namespace Qt::StringLiterals;
using namespace veltrane;
using test::corpusFile;
using test::fileBytes;
using test::pdfFacts;

namespace {

QByteArray tableEntry(qsizetype offset)
{
    return QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
}

// A hybrid file: its font lives in an object stream that only the cross-reference stream named
// by the classic trailer's /XRefStm lists; the table has the font's number free.
QByteArray hybridPdf()
{
    const QByteArray text = "BT /F1 12 Tf 20 150 Td (Hybrid body) Tj ET";
    const QByteArray font = "5 0 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";
    const QByteArray objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [ 3 0 R ] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [ 0 0 300 300 ] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(text.size()) + " >>\nstream\n" + text + "\nendstream",
        "", // 5: in the object stream
        "<< /Type /ObjStm /N 1 /First 4 /Length " + QByteArray::number(font.size()) +
            " >>\nstream\n" + font + "\nendstream",
        "<< /Type /XRef /Size 8 /W [ 1 2 1 ] /Index [ 5 1 ] /Length 4 >>\nstream\n" +
            QByteArray("\x02\x00\x06\x00", 4) + "\nendstream",
    };
    QByteArray bytes = "%PDF-1.5\n";
    QByteArray table = "xref\n0 8\n0000000000 65535 f \n";
    qsizetype xrefStream = 0;
    for (int id = 1; id <= 7; ++id) {
        if (objects[id - 1].isEmpty()) {
            table += "0000000000 00000 f \n";
            continue;
        }
        xrefStream = bytes.size(); // the last one written
        table += tableEntry(bytes.size());
        bytes += QByteArray::number(id) + " 0 obj\n" + objects[id - 1] + "\nendobj\n";
    }
    const qsizetype tableOffset = bytes.size();
    return bytes + table + "trailer\n<< /Size 8 /Root 1 0 R /XRefStm " +
           QByteArray::number(xrefStream) + " >>\nstartxref\n" + QByteArray::number(tableOffset) +
           "\n%%EOF\n";
}

std::set<std::string> trailerKeys(const QString& path)
{
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(QFile::encodeName(path).constData());
    return pdf.getTrailer().getKeys();
}

class PdfUpdateTest : public test::StampJobFixture
{
protected:
    QString body(const QString& name, int pages = 3)
    {
        test::writeBodyPdf(path(name), pages, QSizeF(300, 300));
        return path(name);
    }

    // `source` rewritten whole by QPDF after `edit`, with `configure` setting up the writer.
    QString rewritten(
        const QString& source, const QString& name, const std::function<void(QPDF&)>& edit,
        const std::function<void(QPDFWriter&)>& configure = [](QPDFWriter&) {})
    {
        QPDF pdf;
        pdf.processFile(QFile::encodeName(source).constData());
        edit(pdf);
        const QByteArray out = QFile::encodeName(path(name));
        QPDFWriter writer(pdf, out.constData());
        configure(writer);
        writer.write();
        return path(name);
    }
};

} // namespace

TEST_F(PdfUpdateTest, SourcesThatReadCleanlyGetAnUpdateTheRestAreRewritten)
{
    addText(u"<{0}/{1}>"_s);
    const auto noEdit = [](QPDF&) {};
    const auto miscounted = [&](int count) {
        return rewritten(body(u"b.pdf"_s), u"count.pdf"_s, [count](QPDF& pdf) {
            pdf.getRoot().getKey("/Pages").replaceKey("/Count",
                                                      QPDFObjectHandle::newInteger(count));
        });
    };
    enum Kind { Table, Stream, Whole };
    const struct
    {
        const char* name;
        std::function<QString()> source;
        Kind written;
        const char* password = "";
    } rows[] = {
        {"cross-reference table", [&] { return body(u"body.pdf"_s); }, Table},
        {"cross-reference stream and object streams",
         [] { return corpusFile(u"qpdf_c-object-streams.pdf"_s); }, Stream},
        {"bookmarks with actions", [] { return corpusFile(u"qpdf_outlines-with-actions.pdf"_s); },
         Table},
        {"crop boxes dropped from pages", [] { return corpusFile(u"qpdf_boxes.pdf"_s); }, Table},
        {"boxes and resources inherited",
         [] { return corpusFile(u"qpdf_page-inherit-mediabox.pdf"_s); }, Table},
        {"forms and annotations",
         [] { return corpusFile(u"qpdf_form-fields-and-annotations.pdf"_s); }, Table},
        {"hybrid", [&] { return test::writeFile(path(u"h.pdf"_s), hybridPdf()); }, Table},
        {"linearized",
         [&] {
             return rewritten(corpusFile(u"qpdf_outlines-with-actions.pdf"_s), u"lin.pdf"_s, noEdit,
                              [](QPDFWriter& w) { w.setLinearization(true); });
         },
         Table},
        {"an earlier update",
         [&] {
             const QString source = body(u"first.pdf"_s);
             PdfEditor earlier(source, {});
             earlier.setCreator(u"Earlier"_s);
             earlier.write(path(u"updated.pdf"_s), {});
             return path(u"updated.pdf"_s);
         },
         Table},
        {"a trailer key of its own",
         [&] {
             return rewritten(body(u"b.pdf"_s), u"keyed.pdf"_s, [](QPDF& pdf) {
                 pdf.getTrailer().replaceKey("/VtChecksum", QPDFObjectHandle::newName("/x"));
             });
         },
         Table},
        {"document information inside the trailer",
         [&] {
             return rewritten(body(u"b.pdf"_s), u"direct-info.pdf"_s, [](QPDF& pdf) {
                 QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
                 pdf.getTrailer().replaceKey("/Info", info.shallowCopy());
             });
         },
         Table},
        {"bytes after the end, no final newline",
         [&] {
             return test::writeFile(path(u"junk.pdf"_s),
                                    fileBytes(body(u"b.pdf"_s)) + "%% trailing junk");
         },
         Table},
        {"damaged: cross-reference table rebuilt",
         [] { return corpusFile(u"qpdf_append-page-content-damaged.pdf"_s); }, Whole},
        {"startxref pointing nowhere",
         [&] {
             QByteArray bytes = fileBytes(body(u"b.pdf"_s));
             const qsizetype at = bytes.lastIndexOf("startxref\n") + 10;
             bytes.replace(at, bytes.indexOf('\n', at) - at, "17");
             return test::writeFile(path(u"lost.pdf"_s), bytes);
         },
         Whole},
        {"page count too large", [&] { return miscounted(9); }, Whole},
        // The first pages can be read before the tree is listed, and the count is taken
        // from the tree until then.
        {"page count too small", [&] { return miscounted(2); }, Whole},
        {"one page listed twice",
         [&] {
             return rewritten(body(u"b.pdf"_s, 2), u"twice.pdf"_s, [](QPDF& pdf) {
                 QPDFObjectHandle pages = pdf.getRoot().getKey("/Pages");
                 QPDFObjectHandle kids = pages.getKey("/Kids");
                 kids.appendItem(kids.getArrayItem(0));
                 pages.replaceKey("/Count", QPDFObjectHandle::newInteger(3));
             });
         },
         Whole},
        {"encrypted", [] { return corpusFile(u"qpdf_c-r6-in.pdf"_s); }, Whole, "user4"},
    };
    for (const auto& row : rows) {
        const QString source = row.source();
        const QByteArray before = fileBytes(source);
        const int pages = pdfFacts(source, QString::fromLatin1(row.password)).pages;
        const QString out = path(u"out.pdf"_s);
        ASSERT_TRUE(stampPdf(source, out, 0, QString::fromLatin1(row.password))) << row.name;
        const QByteArray after = fileBytes(out);
        const test::PdfFacts facts = pdfFacts(out);
        EXPECT_EQ(facts.pages, pages) << row.name;
        EXPECT_EQ(facts.creator, u"Veltrane"_s) << row.name;
        EXPECT_EQ(facts.cropBoxes, QStringList()) << row.name;
        QStringList labels;
        for (int page = 1; page <= pages; ++page) {
            labels << u"%1/%2"_s.arg(page).arg(pages);
        }
        EXPECT_EQ(test::stampLabels(out, pages), labels) << row.name;
        EXPECT_FALSE(test::renderPage(out, pages - 1).isNull()) << row.name;
        // An update keeps every byte of the source, and ends in a section of the source's kind.
        EXPECT_EQ(after.startsWith(before), row.written != Whole) << row.name;
        if (row.written != Whole) {
            // The trailer repeats the source's, but for the keys of its own section.
            std::set<std::string> kept = trailerKeys(source);
            std::set<std::string> written = trailerKeys(out);
            for (const char* own : {"/Prev", "/XRefStm", "/Type", "/W", "/Index", "/Length",
                                    "/Filter", "/DecodeParms", "/Info", "/ID"}) {
                kept.erase(own);
                written.erase(own);
            }
            EXPECT_EQ(written, kept) << row.name;
            const QByteArray update = after.mid(before.size());
            EXPECT_EQ(update.contains("\nxref\n"), row.written == Table) << row.name;
            EXPECT_EQ(update.contains("/Type /XRef"), row.written == Stream) << row.name;
        }
    }
}

// A stamp that reads the same on every page is one form; numbered ones are one form a page.
TEST_F(PdfUpdateTest, LayersDrawnAlikeShareOneForm)
{
    const QString source = body(u"body.pdf"_s);
    for (const auto& [format, forms] : {std::pair{u"CONFIDENTIAL"_s, 1}, {u"<{0}/{1}>"_s, 3}}) {
        m_job.stamps().clear();
        addText(format);
        const QString out = path(u"out.pdf"_s);
        ASSERT_TRUE(stampPdf(source, out));
        QPDF pdf;
        pdf.processFile(QFile::encodeName(out).constData());
        std::set<QPDFObjGen> used;
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            used.insert(page.getAttribute("/Resources", false)
                            .getKey("/XObject")
                            .getKey("/VtStamp1")
                            .getObjGen());
        }
        EXPECT_EQ(int(used.size()), forms) << format.toStdString();
    }
}

// A source changed while it was stamped gives no output: neither the old file nor the new one.
TEST_F(PdfUpdateTest, SourceChangedMeanwhileIsAFailure)
{
    const QString source = body(u"body.pdf"_s);
    PdfEditor editor(source, {});
    editor.setCreator(u"Veltrane"_s);
    QFile file(source);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("% appended\n");
    file.close();
    try {
        editor.write(path(u"out.pdf"_s), {});
        ADD_FAILURE() << "written";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "the source changed while it was being stamped");
    }
}
