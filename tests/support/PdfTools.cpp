#include "support/PdfTools.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFAcroFormDocumentHelper.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace veltrane::test {

QString corpusFile(const QString& name)
{
    return QStringLiteral(VELTRANE_CORPUS_DIR "/") + name;
}

void writeBodyPdf(const QString& path, int pages, const QSizeF& size)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setTitle(u"Body fixture"_s);
    writer.setPageLayout(
        QPageLayout(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);
    painter.setFont(QFont(u"DejaVu Sans"_s, 14));
    for (int i = 0; i < pages; ++i) {
        if (i > 0) {
            writer.newPage();
        }
        painter.fillRect(QRectF(0, 0, 300, 300), Qt::blue);
        painter.drawText(QPointF(72, 400), u"Body %1"_s.arg(i + 1));
    }
}

void editPdf(const QString& path, const std::function<void(QPDF&)>& edit)
{
    const QString temporary = path + u".edit"_s;
    {
        QPDF pdf;
        pdf.processFile(QFile::encodeName(path).constData());
        edit(pdf);
        const QByteArray output = QFile::encodeName(temporary); // QPDFWriter keeps the pointer
        QPDFWriter writer(pdf, output.constData());
        writer.write();
    }
    QFile::remove(path);
    QFile::rename(temporary, path);
}

QString pageText(const QString& path, int page, const QString& password)
{
    QProcess process;
    QStringList args{u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), u"-layout"_s};
    if (!password.isEmpty()) {
        args << u"-upw"_s << password;
    }
    args << path << u"-"_s;
    process.start(u"pdftotext"_s, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QImage renderPage(const QString& path, int pageIndex, const QString& password)
{
    QPdfDocument document;
    if (!password.isEmpty()) {
        document.setPassword(password);
    }
    if (document.load(path) != QPdfDocument::Error::None) {
        return {};
    }
    const QSizeF points = document.pagePointSize(pageIndex);
    QPdfDocumentRenderOptions options;
    const QImage rendered = document.render(pageIndex, points.toSize(), options);
    // The renderer leaves unpainted paper transparent: show it white, as a viewer does.
    QImage page(rendered.size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.drawImage(0, 0, rendered);
    return page;
}

PdfFacts pdfFacts(const QString& path, const QString& password)
{
    PdfFacts facts;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        const QByteArray secret = password.toUtf8();
        pdf.processFile(QFile::encodeName(path).constData(),
                        password.isEmpty() ? nullptr : secret.constData());
        QPDFPageDocumentHelper pages(pdf);
        const auto all = pages.getAllPages();
        facts.pages = int(all.size());
        facts.encrypted = pdf.isEncrypted();
        for (size_t i = 0; i < all.size(); ++i) {
            auto page = all[i];
            facts.annotations += int(page.getAnnotations().size());
            if (page.getObjectHandle().hasKey("/CropBox")) {
                facts.cropBoxes << QString::number(i + 1);
            }
        }
        std::function<void(std::vector<QPDFOutlineObjectHelper>)> count =
            [&](std::vector<QPDFOutlineObjectHelper> items) {
                for (auto& item : items) {
                    ++facts.outlineItems;
                    count(item.getKids());
                }
            };
        QPDFOutlineDocumentHelper outlines(pdf);
        count(outlines.getTopLevelOutlines());
        facts.formFields = int(QPDFAcroFormDocumentHelper(pdf).getFormFields().size());
        for (QPDFObjectHandle object : pdf.getAllObjects()) {
            if (object.isDictionary() &&
                object.getKey("/Type").isNameAndEquals("/FontDescriptor") &&
                (object.hasKey("/FontFile") || object.hasKey("/FontFile2") ||
                 object.hasKey("/FontFile3"))) {
                ++facts.fontFiles;
            }
        }
        QPDFObjectHandle info = pdf.getTrailer().getKey("/Info");
        if (info.isDictionary()) {
            if (info.getKey("/Creator").isString()) {
                facts.creator = QString::fromStdString(info.getKey("/Creator").getUTF8Value());
            }
            if (info.getKey("/Title").isString()) {
                facts.title = QString::fromStdString(info.getKey("/Title").getUTF8Value());
            }
        }
    } catch (const std::exception&) {
        facts.pages = -1;
    }
    return facts;
}

QStringList stampLabels(const QString& path, int pages)
{
    static const QRegularExpression label(u"<(-?\\d+)/(\\d+)>"_s);
    // One run over the whole document: pdftotext ends every page with a form feed.
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    process.waitForFinished(60000);
    const QStringList texts = QString::fromUtf8(process.readAllStandardOutput()).split(u'\f');
    QStringList found;
    for (int page = 0; page < pages; ++page) {
        const auto match = label.match(page < texts.size() ? texts[page] : QString());
        found << (match.hasMatch() ? match.captured(1) + QLatin1Char('/') + match.captured(2)
                                   : u"-"_s);
    }
    return found;
}

QString qpdfCheck(const QString& path)
{
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(u"qpdf"_s, {u"--check"_s, path});
    const bool ran = check.waitForFinished(60000) && check.exitStatus() == QProcess::NormalExit;
    if (!ran) {
        return u"qpdf did not run: "_s + check.errorString();
    }
    return check.exitCode() == 0 ? QString() : QString::fromUtf8(check.readAll());
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    EXPECT_TRUE(written) << qPrintable(path);
    return path;
}

} // namespace veltrane::test
