#include "platform/PdfUpdate.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <qpdf/Buffer.hh>
#include <unistd.h>

namespace veltrane {
namespace {

// A reader looks for "startxref" in the last 1024 bytes; a few more for the number after it.
constexpr std::int64_t kTailBytes = 1100;

// The update is kept in pieces of about this size: no large copy as it grows.
constexpr size_t kPieceBytes = 1 << 20;

std::string readAt(int fd, std::int64_t offset, std::int64_t length)
{
    std::string bytes(size_t(std::max<std::int64_t>(length, 0)), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done,
                                  off_t(offset + std::int64_t(done)));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += size_t(n);
    }
    bytes.resize(done);
    return bytes;
}

bool isPdfSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

// Reads a run of digits at `at`; -1 when there is none or it is too long to be an offset.
std::int64_t digitsAt(const std::string& text, size_t& at)
{
    const size_t start = at;
    std::int64_t value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) &&
           at - start < 15) {
        value = value * 10 + (text[at] - '0');
        ++at;
    }
    return at == start ? -1 : value;
}

void skipSpace(const std::string& text, size_t& at)
{
    while (at < text.size() && isPdfSpace(text[at])) {
        ++at;
    }
}

// The revision it follows is part of what names this one: `digest` covers its numbers and the
// update's objects.
QPDFObjectHandle idArray(QPDFObjectHandle sourceId, const QByteArray& digest)
{
    const std::string changed(digest.constData(), size_t(digest.size()));
    // The first half names the document in every revision; the second, this revision.
    std::string permanent = changed;
    if (sourceId.isArray() && sourceId.getArrayNItems() >= 1 &&
        sourceId.getArrayItem(0).isString()) {
        permanent = sourceId.getArrayItem(0).getStringValue();
    }
    return QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
        QPDFObjectHandle::newString(permanent), QPDFObjectHandle::newString(changed)});
}

} // namespace

std::optional<PdfSourceTail> readPdfSourceTail(int fd, std::int64_t size)
{
    if (size < 16 || readAt(fd, 0, 5) != "%PDF-") {
        return std::nullopt;
    }
    const std::int64_t tailStart = std::max<std::int64_t>(0, size - kTailBytes);
    const std::string tail = readAt(fd, tailStart, size - tailStart);
    const size_t keyword = tail.rfind("startxref");
    if (keyword == std::string::npos || tail.size() != size_t(size - tailStart)) {
        return std::nullopt;
    }
    size_t at = keyword + 9;
    skipSpace(tail, at);
    PdfSourceTail source;
    source.size = size;
    source.startxref = digitsAt(tail, at);
    source.endsWithNewline = tail.back() == '\n' || tail.back() == '\r';
    if (source.startxref <= 0 || source.startxref >= size) {
        return std::nullopt;
    }
    const std::string section = readAt(fd, source.startxref, 64);
    if (section.rfind("xref", 0) == 0) {
        return source;
    }
    // "N G obj": a cross-reference stream.
    size_t pos = 0;
    const bool stream = digitsAt(section, pos) >= 0 && (skipSpace(section, pos), true) &&
                        digitsAt(section, pos) >= 0 && (skipSpace(section, pos), true) &&
                        section.compare(pos, 3, "obj") == 0;
    if (!stream) {
        return std::nullopt;
    }
    source.xrefStream = true;
    return source;
}

PdfUpdateWriter::PdfUpdateWriter(const PdfSourceTail& tail, int firstNewId)
    : m_tail(tail), m_firstNewId(firstNewId)
{
    m_digest.addData(QByteArray::number(qint64(tail.size)) + ' ' +
                     QByteArray::number(qint64(tail.startxref)) + '\n');
    if (!tail.endsWithNewline) {
        m_piece = "\n";
    }
}

void PdfUpdateWriter::queue(QPDFObjectHandle object)
{
    if (m_queued.insert(object.getObjGen()).second) {
        m_pending.push_back(object);
    }
}

void PdfUpdateWriter::reach(QPDFObjectHandle object)
{
    if (object.isArray()) {
        for (QPDFObjectHandle& item : object.getArrayAsVector()) {
            reachItem(item);
        }
    } else if (object.isDictionary()) {
        for (auto& item : object.getDictAsMap()) {
            reachItem(item.second);
        }
    }
}

void PdfUpdateWriter::reachItem(QPDFObjectHandle item)
{
    if (item.isIndirect()) {
        if (item.getObjectID() >= m_firstNewId) {
            queue(item);
        }
    } else {
        reach(item);
    }
}

void PdfUpdateWriter::write(QPDF& pdf, const std::vector<QPDFObjGen>& roots, bool letGo)
{
    for (const QPDFObjGen& og : roots) {
        queue(pdf.getObject(og));
    }
    std::vector<QPDFObjGen> written;
    while (!m_pending.empty()) {
        QPDFObjectHandle object = m_pending.front();
        m_pending.pop_front();
        writeObject(object);
        if (letGo) {
            written.push_back(object.getObjGen());
        }
    }
    for (const QPDFObjGen& og : written) {
        pdf.replaceObject(og, QPDFObjectHandle::newNull());
    }
}

void PdfUpdateWriter::writeObject(QPDFObjectHandle object)
{
    const QPDFObjGen og = object.getObjGen();
    m_entries.push_back(
        {og.getObj(), og.getGen(), m_tail.size + m_written + std::int64_t(m_piece.size())});
    std::string& out = m_piece;
    out += std::to_string(og.getObj()) + ' ' + std::to_string(og.getGen()) + " obj\n";
    if (object.isStream()) {
        // The data as it is stored (still encoded), and a /Length of its own: a stream copied
        // from another document may have none, or one that is an object there. Only new
        // streams are written here and nothing reads them after: their own dictionary takes
        // it, instead of a copy of it.
        QPDFObjectHandle dict = object.getDict();
        const std::shared_ptr<Buffer> data = object.getRawStreamData();
        dict.replaceKey("/Length",
                        QPDFObjectHandle::newInteger(static_cast<long long>(data->getSize())));
        reach(dict);
        out += dict.unparse();
        out += "\nstream\n";
        out.append(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
        out += "\nendstream";
    } else {
        reach(object);
        out += object.unparseResolved();
    }
    out += "\nendobj\n";
    if (m_piece.size() >= kPieceBytes) {
        endPiece();
    }
}

void PdfUpdateWriter::endPiece()
{
    m_digest.addData(QByteArrayView(m_piece.data(), qsizetype(m_piece.size())));
    m_written += std::int64_t(m_piece.size());
    m_pieces.push_back(std::move(m_piece));
    m_piece.clear();
}

std::vector<std::string> PdfUpdateWriter::finish(QPDF& pdf)
{
    // The trailer repeats the source's, but for what describes the source's own section.
    QPDFObjectHandle source = pdf.getTrailer();
    QPDFObjectHandle trailer = source.shallowCopy();
    for (const char* key : {"/Prev", "/XRefStm", "/Type", "/W", "/Index", "/Length", "/Filter",
                            "/DecodeParms", "/DL", "/Encrypt"}) {
        trailer.removeKey(key);
    }
    reach(trailer);
    write(pdf, {}, false);
    endPiece();

    QPDFObjectHandle sourceSize = source.getKey("/Size");
    const int maxId = m_queued.empty() ? 0 : m_queued.rbegin()->getObj();
    // Past every number in use: the source's, the new objects', and any the source refers to
    // without defining (QPDF counts those before numbering new objects).
    const long long size = std::max({sourceSize.isInteger() ? sourceSize.getIntValue() : 0LL,
                                     maxId + 1LL, static_cast<long long>(m_firstNewId)});
    trailer.replaceKey("/Size", QPDFObjectHandle::newInteger(size));
    trailer.replaceKey("/ID", idArray(source.getKey("/ID"), m_digest.result()));
    trailer.replaceKey("/Prev",
                       QPDFObjectHandle::newInteger(static_cast<long long>(m_tail.startxref)));
    const std::int64_t sectionOffset = m_tail.size + m_written;
    std::string section;
    if (m_tail.xrefStream) {
        appendXrefStream(section, m_entries, trailer, int(size), sectionOffset);
    } else {
        appendXrefTable(section, m_entries, trailer, sectionOffset);
    }
    m_pieces.push_back(std::move(section));
    return std::move(m_pieces);
}

} // namespace veltrane
