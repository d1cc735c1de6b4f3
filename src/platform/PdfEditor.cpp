#include "platform/PdfEditor.h"

#include "platform/CheckedFilePipeline.h"
#include "platform/PdfLayerPlacer.h"
#include "platform/PdfPageTree.h"
#include "platform/PdfUpdate.h"

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <optional>
#include <QFile>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>

namespace veltrane {
namespace {

// New objects are numbered past the source's /Size; a source claiming more numbers than it
// uses by this many is written whole instead.
constexpr long long kMaxUnusedNumbers = 100'000;

// Taking a parsed document apart takes a while: it is done on a thread of its own, once the one
// let go of before it is gone, while the caller goes on.
template <typename T> void letGo(std::thread& disposal, std::unique_ptr<T> object)
{
    if (disposal.joinable()) {
        disposal.join();
    }
    disposal = std::thread([object = std::move(object)]() mutable { object.reset(); });
}

// Sources up to this size are parsed from a copy in memory: QPDF reads each object with a few
// seeks and reads of the file, which costs as much as parsing it, and the copy is small beside
// the objects parsed from it.
constexpr qint64 kMaxSourceInMemory = 64 << 20;

struct FileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};

bool sameFileState(const struct stat& a, const struct stat& b)
{
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Where a page is stamped, as its own and inherited /MediaBox and /Rotate say.
PdfPageFrame readPageFrame(QPDFPageObjectHelper& page)
{
    QPDFObjectHandle box = page.getMediaBox();
    QRectF media;
    if (box.isRectangle()) {
        const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
        media = QRectF(QPointF(r.llx, r.lly), QPointF(r.urx, r.ury)).normalized();
    }
    int rotate = 0;
    QPDFObjectHandle rotation = page.getAttribute("/Rotate", false);
    if (rotation.isInteger()) {
        rotate = int(rotation.getIntValue() % 360);
    }
    return pdfPageFrame(media, rotate);
}

} // namespace

struct PdfEditor::Document
{
    // QPDF reads the source lazily through this file (or from `memory`, read from it at once),
    // and the update copies its bytes from it: both see the same file even if the path is
    // replaced meanwhile. Both are let go after `pdf`.
    std::unique_ptr<FILE, FileCloser> file;
    struct stat opened = {};
    QByteArray memory; // the source's bytes when QPDF parses them from memory
    QPDF pdf;
    std::vector<QPDFPageObjectHelper> pages;
    std::vector<std::optional<PdfPageFrame>> frames; // each read once: placing asks again
    bool listed = false;
    // The first pages as read before the tree was listed, and whether they turned out to be
    // the listed ones.
    std::vector<QPDFObjGen> leading;
    std::vector<PdfPageFrame> leadingFrames;
    bool leadingHolds = false;

    // What an update appended to the source needs: its end, the source objects edited, and
    // the first number of the objects made since. `wholeFile` when an edit cannot be written
    // as an update.
    std::optional<PdfSourceTail> tail;
    std::set<QPDFObjGen> changed;
    int firstNewId = 0; // 0 until the source was read whole
    bool wholeFile = false;
    std::optional<PdfUpdateWriter> writer; // made when the first objects are written

    // The output begun early: the source's bytes are copied there on a thread of their own while
    // the document is edited.
    QString outputPath;
    std::unique_ptr<CheckedFilePipeline> output;
    std::thread copying;
    std::atomic<bool> stopCopying{false};
    bool copyFailed = false;

    ~Document()
    {
        stopCopying.store(true);
        finishCopy();
    }

    void finishCopy()
    {
        if (copying.joinable()) {
            copying.join();
        }
    }

    void write(const QString& path, const PdfWriteOptions& options);

    // Lists the pages, once; repairs the tree's count.
    void list()
    {
        if (listed) {
            return;
        }
        pages = listPdfPages(pdf);
        listed = true;
        frames.resize(pages.size());
        const bool repaired = repairPageCount(pdf, pages);
        if (repaired) {
            wholeFile = true;
        }
        const std::map<QPDFObjGen, QPDFXRefEntry> xref = pdf.getXRefTable();
        const int lastSourceId = xref.empty() ? 0 : xref.rbegin()->first.getObj();
        for (QPDFPageObjectHelper& page : pages) {
            // QPDF gives a page listed twice a copy of its own, in a tree the update does not
            // carry.
            if (page.getObjectHandle().getObjectID() > lastSourceId) {
                wholeFile = true;
            }
        }
        if (!mayUpdate()) {
            stopCopying.store(true); // an output begun early is written whole instead
        }
        leadingHolds = !repaired && leading.size() <= pages.size();
        for (size_t i = 0; leadingHolds && i < leading.size(); ++i) {
            leadingHolds = pages[i].getObjectHandle().getObjGen() == leading[i];
        }
        if (leadingHolds) {
            for (size_t i = 0; i < leading.size(); ++i) {
                frames[i] = leadingFrames[i];
            }
        }
    }

    bool mayUpdate() { return tail && !wholeFile && !pdf.isEncrypted() && !pdf.anyWarnings(); }

    void markChanged(QPDFObjectHandle object)
    {
        if (object.isIndirect()) {
            changed.insert(object.getObjGen());
        } else {
            wholeFile = true; // it lives inside another object that is not tracked
        }
    }

    // The numbers between the objects QPDF knows and the source's /Size are taken up, so that
    // objects made later never reuse a number the source lists as free.
    void reserveSourceNumbers()
    {
        if (firstNewId > 0) {
            return;
        }
        // QPDF reads every object of the source before it numbers a new one.
        firstNewId = int(pdf.getObjectCount()) + 1;
        QPDFObjectHandle size = pdf.getTrailer().getKey("/Size");
        const long long unused = size.isInteger() ? size.getIntValue() - firstNewId : 0;
        if (unused > kMaxUnusedNumbers) {
            wholeFile = true;
            return;
        }
        for (long long i = 0; i < unused; ++i) {
            pdf.makeIndirectObject(QPDFObjectHandle::newNull());
        }
    }

    // Writes the objects of the pages just stamped at once and lets the new ones go, when the
    // document is sure to be written as an update: the memory they took is what grows with the
    // number of pages.
    void writeEarly(const std::vector<QPDFObjGen>& pages)
    {
        if (mayUpdate()) {
            updateWriter().write(pdf, pages, true);
        }
    }

    PdfUpdateWriter& updateWriter()
    {
        if (!writer) {
            writer.emplace(*tail, firstNewId);
        }
        return *writer;
    }

    std::optional<std::vector<std::string>> update()
    {
        reserveSourceNumbers();
        const bool wroteEarly = writer.has_value();
        std::optional<std::vector<std::string>> pieces;
        if (mayUpdate()) {
            PdfUpdateWriter& out = updateWriter();
            out.write(pdf, std::vector<QPDFObjGen>(changed.begin(), changed.end()), false);
            pieces = out.finish(pdf);
        }
        // A warning while the layers were read sends the document through the whole rewrite,
        // which repairs what QPDF can; objects already let go leave no such way.
        if (pdf.anyWarnings()) {
            pieces.reset();
        }
        if (!pieces && wroteEarly) {
            throw std::runtime_error("the stamped pages cannot be written as an update");
        }
        return pieces;
    }
};

PdfEditor::PdfEditor(const QString& path, const QString& password)
    : m_document(std::make_unique<Document>())
{
    Document& document = *m_document;
    QPDF& pdf = document.pdf;
    pdf.setSuppressWarnings(true);
    const QByteArray file = QFile::encodeName(path);
    const QByteArray secret = password.toUtf8();
    // QUtil's open fails with the message QPDF would give for the path.
    document.file.reset(QUtil::safe_fopen(file.constData(), "rb"));
    const int fd = fileno(document.file.get());
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    const bool known = ::fstat(fd, &document.opened) == 0;
    if (known && document.opened.st_size <= kMaxSourceInMemory) {
        QFile source;
        if (source.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
            document.memory = source.readAll();
        }
        if (document.memory.size() != document.opened.st_size) {
            document.memory.clear();
        }
    }
    const char* secretText = password.isNull() ? nullptr : secret.constData();
    if (!document.memory.isEmpty()) {
        pdf.processMemoryFile(file.constData(), document.memory.constData(),
                              size_t(document.memory.size()), secretText);
    } else {
        pdf.processFile(file.constData(), document.file.get(), false, secretText);
    }
    if (known) {
        document.tail = readPdfSourceTail(fd, document.opened.st_size);
    }
}

PdfEditor::~PdfEditor()
{
    if (m_disposal.joinable()) {
        m_disposal.join();
    }
}

int PdfEditor::declaredPageCount()
{
    return m_document->listed ? pageCount() : declaredPdfPageCount(m_document->pdf);
}

std::vector<PdfPageFrame> PdfEditor::leadingPageFrames(int count)
{
    Document& document = *m_document;
    std::vector<PdfPageFrame> frames;
    if (document.listed) {
        for (int i = 0; i < std::min(count, pageCount()); ++i) {
            frames.push_back(pageFrame(i));
        }
        return frames;
    }
    document.leading.clear();
    for (QPDFObjectHandle& page : leadingPdfPages(document.pdf, size_t(std::max(count, 0)))) {
        QPDFPageObjectHelper helper(page);
        frames.push_back(readPageFrame(helper));
        document.leading.push_back(page.getObjGen());
    }
    document.leadingFrames = frames;
    return frames;
}

bool PdfEditor::leadingFramesHold()
{
    m_document->list();
    return m_document->leadingHolds;
}

int PdfEditor::pageCount()
{
    m_document->list();
    return int(m_document->pages.size());
}

bool PdfEditor::isEncrypted() const
{
    return m_document->pdf.isEncrypted();
}

PdfPageFrame PdfEditor::pageFrame(int index)
{
    m_document->list();
    std::optional<PdfPageFrame>& known = m_document->frames.at(size_t(index));
    if (!known) {
        known = readPageFrame(m_document->pages[size_t(index)]);
    }
    return *known;
}

void PdfEditor::dropCropBox(int index)
{
    m_document->list();
    QPDFObjectHandle node = m_document->pages.at(size_t(index)).getObjectHandle();
    for (int depth = 0; depth < 64 && node.isDictionary(); ++depth) {
        if (node.hasKey("/CropBox")) {
            node.removeKey("/CropBox");
            m_document->markChanged(node);
        }
        node = node.getKey("/Parent");
    }
}

void PdfEditor::readAll()
{
    m_document->list();
    m_document->reserveSourceNumbers();
}

void PdfEditor::placeLayers(std::unique_ptr<PdfLayerDocument> layers,
                            const std::vector<PageLayers>& pages)
{
    m_document->list();
    m_document->reserveSourceNumbers();
    {
        PdfLayerPlacer placer(m_document->pdf, layers->contents());
        std::set<QPDFObjGen> stamped;
        for (const PageLayers& page : pages) {
            QPDFPageObjectHelper& target = m_document->pages.at(size_t(page.pageIndex));
            placer.place(target, pageFrame(page.pageIndex), page.underLayer, page.overLayer);
            if (page.underLayer >= 0 || page.overLayer >= 0) {
                m_document->markChanged(target.getObjectHandle());
                stamped.insert(target.getObjectHandle().getObjGen());
            }
        }
        m_document->writeEarly(std::vector<QPDFObjGen>(stamped.begin(), stamped.end()));
        placer.takeCopiedData();
    }
    // Nothing placed reads the layer document any more.
    letGo(m_disposal, std::move(layers));
}

void PdfEditor::setCreator(const QString& creator)
{
    m_document->list();
    QPDF& pdf = m_document->pdf;
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    m_document->reserveSourceNumbers();
    if (!info.isDictionary()) {
        info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        trailer.replaceKey("/Info", info);
    } else if (!info.isIndirect()) {
        // An update can only carry it as an object of its own.
        info = pdf.makeIndirectObject(info.shallowCopy());
        trailer.replaceKey("/Info", info);
    } else {
        m_document->markChanged(info);
    }
    info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString(creator.toStdString()));
}

void PdfEditor::beginWrite(const QString& path)
{
    Document& document = *m_document;
    if (document.output || !document.mayUpdate()) {
        return;
    }
    document.output = std::make_unique<CheckedFilePipeline>(path);
    document.outputPath = path;
    const int fd = fileno(document.file.get());
    const qint64 size = document.tail->size;
    // The copy reads with explicit offsets, so QPDF's reading of the same file is undisturbed.
    document.copying = std::thread([&document, fd, size] {
        try {
            document.output->copyFrom(fd, size, &document.stopCopying);
        } catch (...) {
            document.copyFailed = true;
        }
    });
}

void PdfEditor::Document::write(const QString& path, const PdfWriteOptions& options)
{
    finishCopy();
    // QPDF reads the source lazily, and an update copies it: bytes changed under it since it was
    // opened would make an output that is neither the old file nor the new one.
    struct stat now = {};
    if (::fstat(fileno(file.get()), &now) != 0 || !sameFileState(opened, now)) {
        throw std::runtime_error("the source changed while it was being stamped");
    }
    const std::optional<std::vector<std::string>> bytes = update();
    std::unique_ptr<CheckedFilePipeline> begun = std::move(output);
    if (!bytes || copyFailed || outputPath != path) {
        begun.reset(); // closed before the path is opened again
    }
    if (bytes) {
        // The source's bytes as they are, then only what changed.
        if (!begun) {
            begun = std::make_unique<CheckedFilePipeline>(path);
            begun->copyFrom(fileno(file.get()), tail->size);
        }
        for (const std::string& piece : *bytes) {
            begun->write(reinterpret_cast<const unsigned char*>(piece.data()), piece.size());
        }
        begun->finish();
        begun->check();
        return;
    }
    CheckedFilePipeline file(path);
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&file);
    const bool keepEncryption = options.keepEncryption && pdf.isEncrypted();
    writer.setPreserveEncryption(keepEncryption);
    writer.setStreamDataMode(qpdf_s_preserve);
    writer.setObjectStreamMode(qpdf_o_preserve);
    writer.setDeterministicID(options.deterministicId && !keepEncryption);
    writer.write();
    file.finish();
    file.check();
}

void PdfEditor::write(const QString& path, const PdfWriteOptions& options)
{
    m_document->list();
    m_document->write(path, options);
    // The caller moves the output into place meanwhile. The editor can do nothing more.
    letGo(m_disposal, std::move(m_document));
}

} // namespace veltrane
