#include "usage/UsagesFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <stdexcept>

namespace veltrane {
namespace {

[[noreturn]] void fail(const QString& reason)
{
    throw std::runtime_error(reason.toStdString());
}

QString dateText(const QDateTime& date)
{
    if (!date.isValid()) {
        return {};
    }
    // Local time alone would be written without an offset and read back as whatever zone the
    // reader is in; a fixed offset keeps the instant.
    return date.toOffsetFromUtc(date.toLocalTime().offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QString flagText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

// A comment can hold no "--"; the product name and version may come from an edited file.
QString commentText(QString text)
{
    while (text.contains(QLatin1String("--"))) {
        text.replace(QLatin1String("--"), QLatin1String("- -"));
    }
    return text;
}

void readDate(const QString& text, QDateTime& field)
{
    const QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (date.isValid()) {
        field = date;
    }
}

void readFlag(const QString& text, bool& field)
{
    if (text == QLatin1String("true")) {
        field = true;
    }
}

void readNumber(const QString& text, qint64& field)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (ok) {
        field = value;
    }
}

// The text of the current element and all it holds. QXmlStreamReader::readElementText recurses
// into child elements; an element nested a million deep would exhaust the stack.
QString elementText(QXmlStreamReader& reader)
{
    QString text;
    qint64 depth = 1;
    while (depth > 0 && !reader.atEnd() && !reader.hasError()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            text += reader.text();
            break;
        default:
            break;
        }
    }
    return text;
}

FeatureUsages readFeature(QXmlStreamReader& reader)
{
    FeatureUsages feature;
    while (reader.readNextStartElement()) {
        if (reader.name() == u"name") {
            feature.name = elementText(reader);
        } else if (reader.name() == u"usagescount") {
            feature.usagesCount = 0;
            readNumber(elementText(reader), feature.usagesCount);
        } else if (reader.name() == u"filescount") {
            feature.filesCount = 0;
            readNumber(elementText(reader), feature.filesCount);
        } else {
            reader.skipCurrentElement();
        }
    }
    return feature;
}

void readFeatures(QXmlStreamReader& reader, QList<FeatureUsages>& features)
{
    while (reader.readNextStartElement()) {
        if (reader.name() == u"featureusages") {
            features.append(readFeature(reader));
        } else {
            reader.skipCurrentElement();
        }
    }
}

void readRoot(QXmlStreamReader& reader, UsagesRecord& record)
{
    while (reader.readNextStartElement()) {
        const QStringView name = reader.name();
        if (name == u"productname") {
            record.productName = elementText(reader);
        } else if (name == u"productversion") {
            record.version = elementText(reader);
        } else if (name == u"builddate") {
            readDate(elementText(reader), record.buildDate);
        } else if (name == u"enabled") {
            readFlag(elementText(reader), record.isEnabled);
        } else if (name == u"lastreportsenton") {
            readDate(elementText(reader), record.lastReportSentOn);
        } else if (name == u"lastReviewAskDate") {
            readDate(elementText(reader), record.lastReviewAskDate);
        } else if (name == u"neverAskForReview") {
            readFlag(elementText(reader), record.neverAskForReview);
        } else if (name == u"nextReviewTargetValue") {
            readNumber(elementText(reader), record.nextReviewTargetValue);
        } else if (name == u"features") {
            readFeatures(reader, record.features);
        } else {
            reader.skipCurrentElement();
        }
    }
}

} // namespace

QByteArray usagesToXml(const UsagesRecord& record)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeComment(commentText(
        QStringLiteral("%1 %2 Usages Reporting File").arg(record.productName, record.version)));
    xml.writeStartElement(QStringLiteral("usagesreporting"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("xsi"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema"), QStringLiteral("xsd"));
    xml.writeTextElement(QStringLiteral("productname"), record.productName);
    xml.writeTextElement(QStringLiteral("productversion"), record.version);
    xml.writeTextElement(QStringLiteral("builddate"), dateText(record.buildDate));
    xml.writeTextElement(QStringLiteral("hardwareUUID"), record.hardwareUUID);
    xml.writeTextElement(QStringLiteral("enabled"), flagText(record.isEnabled));
    xml.writeTextElement(QStringLiteral("lastreportsenton"), dateText(record.lastReportSentOn));
    xml.writeTextElement(QStringLiteral("lastReviewAskDate"), dateText(record.lastReviewAskDate));
    xml.writeTextElement(QStringLiteral("neverAskForReview"), flagText(record.neverAskForReview));
    xml.writeTextElement(QStringLiteral("nextReviewTargetValue"),
                         QString::number(record.nextReviewTargetValue));
    xml.writeStartElement(QStringLiteral("features"));
    for (const FeatureUsages& feature : record.features) {
        xml.writeStartElement(QStringLiteral("featureusages"));
        xml.writeTextElement(QStringLiteral("name"), feature.name);
        xml.writeTextElement(QStringLiteral("usagescount"), QString::number(feature.usagesCount));
        xml.writeTextElement(QStringLiteral("filescount"), QString::number(feature.filesCount));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    // The declaration names the encoding in lower case, as the file always has; Qt's own would
    // say "UTF-8".
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>" + out;
}

bool readUsagesXml(const QByteArray& xml, UsagesRecord& record, QString* error)
{
    UsagesRecord read = record;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd() && !reader.hasError()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            // Nothing here needs entities; refusing them rules out expansion attacks.
            reader.raiseError(QStringLiteral("document type declarations are not accepted"));
            break;
        case QXmlStreamReader::StartElement:
            if (reader.name() == u"usagesreporting") {
                readRoot(reader, read);
            } else {
                reader.skipCurrentElement();
            }
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        if (error) {
            *error = QStringLiteral("%1 (line %2, column %3)")
                         .arg(reader.errorString())
                         .arg(reader.lineNumber())
                         .arg(reader.columnNumber());
        }
        return false;
    }
    record = std::move(read);
    return true;
}

void saveUsagesFile(const QString& path, const UsagesRecord& record)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        fail(QStringLiteral("cannot create the folder %1").arg(folder));
    }
    const QByteArray xml = usagesToXml(record);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    }
    if (file.write(xml) != xml.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(QStringLiteral("cannot write %1: %2").arg(path, reason));
    }
    if (!file.commit()) {
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    }
}

bool loadUsagesFile(const QString& path, UsagesRecord& record)
{
    QFile file(path);
    if (!file.exists()) {
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    }
    // Read one byte past the bound, so a file that grows meanwhile is still caught.
    const QByteArray xml = file.read(kMaxUsagesFileSize + 1);
    if (xml.size() > kMaxUsagesFileSize) {
        fail(QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(kMaxUsagesFileSize));
    }
    if (file.error() != QFileDevice::NoError) {
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    }
    QString error;
    if (!readUsagesXml(xml, record, &error)) {
        fail(QStringLiteral("cannot read %1: %2").arg(path, error));
    }
    return true;
}

} // namespace veltrane
