#include "platform/PropertyList.h"

#include <cstdlib>
#include <memory>
#include <plist/plist.h>
#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QThread>
#include <QTimeZone>
#include <QXmlStreamReader>
#include <stdexcept>
#include <vector>

namespace veltrane {
namespace {

// Property-list dates count seconds from 2001-01-01T00:00:00Z.
const qint64 kPlistEpochMSecs =
    QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();

struct PlistDeleter
{
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

QVariant toVariant(plist_t node, int depth)
{
    if (depth > kMaxPropertyListDepth) {
        throw std::runtime_error("property list nested too deeply");
    }
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            char* key = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, it, &key, &item);
            if (!item) {
                std::free(key);
                break;
            }
            QString name = QString::fromUtf8(key);
            std::free(key);
            map.insert(name, toVariant(item, depth + 1));
        }
        std::free(it);
        return map;
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t count = plist_array_get_size(node);
        list.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            list.append(toVariant(plist_array_get_item(node, i), depth + 1));
        }
        return list;
    }
    case PLIST_STRING: {
        // Read in place with its length: libplist's copying getter asserts (and aborts) when
        // a string from a binary list holds a NUL byte.
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return QString::fromUtf8(text, qsizetype(std::min<uint64_t>(length, INT32_MAX)));
    }
    case PLIST_KEY: {
        // A binary list may reuse a dictionary key's object as a value.
        char* text = nullptr;
        plist_get_key_val(node, &text);
        QString s = QString::fromUtf8(text);
        std::free(text);
        return s;
    }
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return bool(b);
    }
    case PLIST_UINT: {
        uint64_t v = 0;
        plist_get_uint_val(node, &v);
        return qint64(v);
    }
    case PLIST_UID: {
        uint64_t v = 0;
        plist_get_uid_val(node, &v);
        return qint64(v);
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return d;
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        QByteArray data(bytes, qsizetype(length));
        std::free(bytes);
        return data;
    }
    case PLIST_DATE: {
        int32_t sec = 0;
        int32_t usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return QDateTime::fromMSecsSinceEpoch(kPlistEpochMSecs + qint64(sec) * 1000 + usec / 1000,
                                              Qt::UTC);
    }
    default:
        throw std::runtime_error("unknown property list value");
    }
}

plist_t fromVariant(const QVariant& value, int depth)
{
    if (depth > kMaxPropertyListDepth) {
        throw std::runtime_error("value nested too deeply for a property list");
    }
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        PlistPtr dict(plist_new_dict());
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            plist_dict_set_item(dict.get(), it.key().toUtf8().constData(),
                                fromVariant(it.value(), depth + 1));
        }
        return dict.release();
    }
    case QMetaType::QVariantHash: {
        const QVariantHash hash = value.toHash();
        QVariantMap map;
        for (auto it = hash.cbegin(); it != hash.cend(); ++it) {
            map.insert(it.key(), it.value());
        }
        return fromVariant(map, depth);
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        PlistPtr array(plist_new_array());
        for (const QVariant& item : value.toList()) {
            plist_array_append_item(array.get(), fromVariant(item, depth + 1));
        }
        return array.release();
    }
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::Bool:
        return plist_new_bool(value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return plist_new_uint(uint64_t(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        return plist_new_data(data.constData(), uint64_t(data.size()));
    }
    case QMetaType::QDateTime:
    case QMetaType::QDate: {
        const QDateTime dt = value.toDateTime();
        if (!dt.isValid()) {
            throw std::runtime_error("invalid date");
        }
        const qint64 ms = dt.toMSecsSinceEpoch() - kPlistEpochMSecs;
        qint64 sec = ms / 1000;
        qint64 rest = ms % 1000;
        if (rest < 0) {
            rest += 1000;
            --sec;
        }
        if (sec < INT32_MIN || sec > INT32_MAX) {
            throw std::runtime_error("date out of range for a property list");
        }
        return plist_new_date(int32_t(sec), int32_t(rest * 1000));
    }
    default:
        throw std::runtime_error(std::string("value of type ") +
                                 (value.typeName() ? value.typeName() : "invalid") +
                                 " cannot be stored in a property list");
    }
}

// Refuses XML that declares entities (entity expansion bombs), nests deeper than the limit, or
// holds an array of more than `maxEntries` entries (when not negative); libplist's own reader
// and free both recurse over the tree. Reads `device` as a stream and stops at the first
// refusal, so a huge list is refused having read only what precedes the refusal.
QString checkXml(QIODevice* device, qsizetype maxEntries)
{
    QXmlStreamReader reader(device);
    // Per open element: whether it is an array, how many entries it holds so far.
    struct Open
    {
        bool isArray = false;
        qsizetype entries = 0;
        QString key; // of an array that is a dictionary's value
    };
    std::vector<Open> open;
    QString lastKey;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            if (!reader.entityDeclarations().isEmpty()) {
                return QStringLiteral("property list declares XML entities");
            }
            break;
        case QXmlStreamReader::StartElement: {
            if (int(open.size()) + 1 > kMaxPropertyListDepth + 2) {
                return QStringLiteral("property list nested too deeply");
            }
            if (!open.empty() && open.back().isArray && maxEntries >= 0 &&
                ++open.back().entries > maxEntries) {
                const QString array = open.back().key.isEmpty()
                                          ? QStringLiteral("an array")
                                          : QStringLiteral("the array \"%1\"").arg(open.back().key);
                return QStringLiteral("%1 holds more than %2 entries").arg(array).arg(maxEntries);
            }
            const bool isArray = reader.name() == QLatin1String("array");
            const bool inDictionary = !open.empty() && !open.back().isArray;
            if (reader.name() == QLatin1String("key")) {
                lastKey = reader.readElementText();
                if (reader.hasError()) {
                    break;
                }
                continue; // its end element is read already
            }
            open.push_back({isArray, 0, isArray && inDictionary ? lastKey : QString()});
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!open.empty()) {
                open.pop_back();
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        return QStringLiteral("not a property list: %1 at line %2")
            .arg(reader.errorString())
            .arg(reader.lineNumber());
    }
    return {};
}

QString checkXml(const QByteArray& bytes, qsizetype maxEntries)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return checkXml(&buffer, maxEntries);
}

// libplist's binary reader recurses once per nesting level and checks each level against all
// its parents, so the object count (trailer field, big-endian, 24 bytes from the end) bounds
// both stack and time.
QString checkBinary(const QByteArray& bytes)
{
    if (bytes.size() < 8 + 32) {
        return QStringLiteral("binary property list is truncated");
    }
    const auto* trailer = reinterpret_cast<const uchar*>(bytes.constData() + bytes.size() - 32);
    quint64 objects = 0;
    for (int i = 8; i < 16; ++i) {
        objects = (objects << 8) | trailer[i];
    }
    if (objects > kMaxBinaryObjects) {
        return QStringLiteral("binary property list holds too many objects (%1)").arg(objects);
    }
    return {};
}

// `xmlChecked`: the XML was streamed through checkXml already.
PlistResult parse(const QByteArray& bytes, qsizetype maxEntries, bool xmlChecked)
{
    PlistResult result;
    const bool binary = plist_is_binary(bytes.constData(), uint32_t(bytes.size())) != 0;
    if (binary) {
        result.error = checkBinary(bytes);
    } else if (!xmlChecked) {
        result.error = checkXml(bytes, maxEntries);
    }
    if (!result.error.isEmpty()) {
        return result;
    }
    try {
        plist_t raw = nullptr;
        if (binary) {
            // Read back through the XML form: libplist asserts (and aborts) when a key it read
            // from a binary list holds a NUL byte, and the XML form cannot carry one.
            plist_t bin = nullptr;
            plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &bin);
            const PlistPtr binRoot(bin);
            char* xml = nullptr;
            uint32_t length = 0;
            if (binRoot) {
                plist_to_xml(binRoot.get(), &xml, &length);
            }
            if (xml) {
                // Array lengths are checked on the XML form too: walking the binary tree itself
                // would read its keys, which may hold a NUL byte.
                if (maxEntries >= 0) {
                    result.error =
                        checkXml(QByteArray::fromRawData(xml, qsizetype(length)), maxEntries);
                }
                if (result.error.isEmpty()) {
                    plist_from_xml(xml, length, &raw);
                }
                plist_to_xml_free(xml);
                if (!result.error.isEmpty()) {
                    return result;
                }
            }
        } else {
            plist_from_xml(bytes.constData(), uint32_t(bytes.size()), &raw);
        }
        PlistPtr root(raw);
        if (!root) {
            result.error = binary ? QStringLiteral("damaged binary property list")
                                  : QStringLiteral("damaged XML property list");
            return result;
        }
        result.value = toVariant(root.get(), 0);
    } catch (const std::bad_alloc&) {
        result.error = QStringLiteral("out of memory");
    } catch (const std::exception& e) {
        result.error = QString::fromUtf8(e.what());
    }
    return result;
}

void serialiseError(QString* error, const QString& message)
{
    if (error) {
        *error = message;
    }
}

PlistResult readChecked(const QByteArray& bytes, qsizetype maxEntries, bool xmlChecked)
{
    if (bytes.isEmpty()) {
        return {{}, QStringLiteral("empty property list")};
    }
    if (bytes.size() > kMaxPropertyListBytes) {
        return {{}, QStringLiteral("property list too large (%1 bytes)").arg(bytes.size())};
    }
    // The reader's recursion depth is bounded by the checks above, but a deep binary list can
    // still need more than a default thread stack: parse on a thread with room to spare.
    PlistResult result;
    std::unique_ptr<QThread> worker(
        QThread::create([&] { result = parse(bytes, maxEntries, xmlChecked); }));
    worker->setStackSize(256u * 1024 * 1024);
    worker->start();
    worker->wait();
    return result;
}

} // namespace

PlistResult readPropertyList(const QByteArray& bytes, qsizetype maxArrayEntries)
{
    return readChecked(bytes, maxArrayEntries, false);
}

PlistResult readPropertyListFile(const QString& path, qsizetype maxArrayEntries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{}, QStringLiteral("cannot open %1: %2").arg(path, file.errorString())};
    }
    if (file.size() > kMaxPropertyListBytes) {
        return {{}, QStringLiteral("%1 is too large for a property list").arg(path)};
    }
    if (file.size() == 0) {
        return {{}, QStringLiteral("%1: empty property list").arg(path)};
    }
    // XML is checked as it streams in, before the whole file is held in memory.
    const bool binary = file.peek(8) == QByteArrayLiteral("bplist00");
    if (!binary) {
        const QString refusal = checkXml(&file, maxArrayEntries);
        if (!refusal.isEmpty()) {
            return {{}, QStringLiteral("%1: %2").arg(path, refusal)};
        }
        file.seek(0);
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return {{}, QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    }
    PlistResult result = readChecked(bytes, maxArrayEntries, !binary);
    if (!result.ok()) {
        result.error = QStringLiteral("%1: %2").arg(path, result.error);
    }
    return result;
}

QByteArray toXmlPropertyList(const QVariant& value, QString* error)
{
    try {
        PlistPtr root(fromVariant(value, 0));
        char* xml = nullptr;
        uint32_t length = 0;
        plist_to_xml(root.get(), &xml, &length);
        if (!xml) {
            serialiseError(error, QStringLiteral("cannot write the property list"));
            return {};
        }
        QByteArray out(xml, qsizetype(length));
        plist_to_xml_free(xml);
        return out;
    } catch (const std::exception& e) {
        serialiseError(error, QString::fromUtf8(e.what()));
        return {};
    }
}

QByteArray toBinaryPropertyList(const QVariant& value, QString* error)
{
    try {
        PlistPtr root(fromVariant(value, 0));
        char* bin = nullptr;
        uint32_t length = 0;
        plist_to_bin(root.get(), &bin, &length);
        if (!bin) {
            serialiseError(error, QStringLiteral("cannot write the property list"));
            return {};
        }
        QByteArray out(bin, qsizetype(length));
        plist_to_bin_free(bin);
        return out;
    } catch (const std::exception& e) {
        serialiseError(error, QString::fromUtf8(e.what()));
        return {};
    }
}

bool writeXmlPropertyListFile(const QVariant& value, const QString& path, QString* error,
                              bool ownerOnly)
{
    QString why;
    const QByteArray xml = toXmlPropertyList(value, &why);
    if (xml.isEmpty()) {
        serialiseError(error, why);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        (ownerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))) {
        serialiseError(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    if (file.write(xml) != xml.size() || !file.commit()) {
        serialiseError(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace veltrane
