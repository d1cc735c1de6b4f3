#include "platform/PropertyList.h"

#include "support/PdfTools.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSizeF>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTimeZone>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

QVariantMap everyKind()
{
    QVariantMap inner;
    inner.insert(u"negative"_s, qint64(-5));
    inner.insert(u"big"_s, qint64(5000000000));
    QVariantMap map;
    map.insert(u"text"_s, u"a < b & \"c\" — Grüße"_s);
    map.insert(u"integer"_s, qint64(42));
    map.insert(u"real"_s, 2.5);
    map.insert(u"yes"_s, true);
    map.insert(u"no"_s, false);
    map.insert(u"data"_s, QByteArray("\x00\x01\xff", 3));
    map.insert(u"date"_s, QDateTime(QDate(2011, 7, 4), QTime(15, 30, 0), Qt::UTC));
    map.insert(u"list"_s, QVariantList{qint64(1), u"two"_s, inner});
    map.insert(u"empty"_s, QVariantList{});
    return map;
}

// A binary property list that is one chain of `depth` one-element arrays.
QByteArray deepBinaryChain(quint32 depth)
{
    QByteArray out("bplist00");
    QList<quint32> offsets;
    for (quint32 i = 0; i < depth; ++i) {
        offsets.append(quint32(out.size()));
        if (i + 1 < depth) {
            out.append(char(0xA1));
            char ref[4];
            qToBigEndian(quint32(i + 1), ref);
            out.append(ref, 4);
        } else {
            out.append(char(0xA0));
        }
    }
    const quint64 tableOffset = quint64(out.size());
    for (quint32 offset : offsets) {
        char bytes[4];
        qToBigEndian(offset, bytes);
        out.append(bytes, 4);
    }
    char trailer[32] = {};
    trailer[6] = 4; // offset size
    trailer[7] = 4; // object reference size
    qToBigEndian(quint64(depth), trailer + 8);
    qToBigEndian(quint64(0), trailer + 16);
    qToBigEndian(tableOffset, trailer + 24);
    out.append(trailer, 32);
    return out;
}

QByteArray nestedXmlArrays(int depth)
{
    QByteArray xml("<?xml version=\"1.0\"?><plist version=\"1.0\">");
    xml.append(QByteArray("<array>").repeated(depth));
    xml.append(QByteArray("</array>").repeated(depth));
    xml.append("</plist>");
    return xml;
}

} // namespace

TEST(PropertyList, BothEncodingsKeepEveryValueKindAndRefuseOthers)
{
    const QString refusal = u"value of type %1 cannot be stored in a property list"_s;
    for (const bool binary : {false, true}) {
        const char* name = binary ? "binary" : "xml";
        const auto write = binary ? toBinaryPropertyList : toXmlPropertyList;
        QString error;
        const QByteArray bytes = write(everyKind(), &error);
        ASSERT_TRUE(error.isEmpty()) << name << ": " << error.toStdString();
        EXPECT_TRUE(bytes.startsWith(binary ? "bplist00" : "<?xml")) << name;
        const PlistResult read = readPropertyList(bytes);
        ASSERT_TRUE(read.ok()) << name << ": " << read.error.toStdString();
        EXPECT_EQ(read.value.toMap(), everyKind()) << name;

        for (const auto& [value, type] : {std::pair(QVariant::fromValue(QSizeF(1, 2)), "QSizeF"),
                                          std::pair(QVariant(), "invalid")}) {
            error.clear();
            EXPECT_TRUE(write(value, &error).isEmpty()) << name;
            EXPECT_EQ(error, refusal.arg(QLatin1String(type))) << name;
        }
    }
    EXPECT_TRUE(toXmlPropertyList(everyKind()).contains("<integer>-5</integer>"));
}

TEST(PropertyList, DamagedInputGivesAnErrorAndNoValue)
{
    const QByteArray xml = toXmlPropertyList(everyKind());
    const QByteArray bin = toBinaryPropertyList(everyKind());
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("not a plist at all"), xml.left(xml.size() / 2),
          bin.left(bin.size() / 2), QByteArray("bplist00"), QByteArray(100, '\0')}) {
        const PlistResult read = readPropertyList(bad);
        EXPECT_FALSE(read.ok()) << bad.left(40).toStdString();
        EXPECT_FALSE(read.value.isValid());
    }
}

TEST(PropertyList, HostileInputIsRefusedQuickly)
{
    QElapsedTimer timer;
    timer.start();

    const QByteArray laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c "
        "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e "
        "\"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">]>"
        "<plist version=\"1.0\"><string>&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;</string></plist>";
    EXPECT_EQ(readPropertyList(laughs).error, u"property list declares XML entities"_s);

    EXPECT_EQ(readPropertyList(nestedXmlArrays(1000000)).error,
              u"property list nested too deeply"_s);
    EXPECT_TRUE(readPropertyList(nestedXmlArrays(kMaxPropertyListDepth)).ok());

    const PlistResult chain = readPropertyList(deepBinaryChain(1000000));
    EXPECT_EQ(chain.error, u"binary property list holds too many objects (1000000)"_s);
    // Within the object limit but deeper than any value tree we accept.
    EXPECT_EQ(readPropertyList(deepBinaryChain(2000)).error, u"property list nested too deeply"_s);
    EXPECT_TRUE(readPropertyList(deepBinaryChain(100)).ok());

    // Arrays longer than the reader is asked to take, in either encoding; at the limit they are
    // read.
    const QVariantMap job{{u"Stamps"_s, QVariantList(11, QVariantMap())}, {u"name"_s, u"x"_s}};
    for (const QByteArray& list : {toXmlPropertyList(job), toBinaryPropertyList(job)}) {
        EXPECT_EQ(readPropertyList(list, 10).error,
                  u"the array \"Stamps\" holds more than 10 entries"_s);
        EXPECT_TRUE(readPropertyList(list, 11).ok());
    }

    EXPECT_LT(timer.elapsed(), 20000);
}

TEST(PropertyList, FileWriteReplacesWholeFileAndLeavesNoTemporaries)
{
    QTemporaryDir dir;
    const QString path = test::writeFile(dir.filePath(u"job.vtprofile"_s), QByteArray(100000, 'x'));

    QString error;
    ASSERT_TRUE(writeXmlPropertyListFile(everyKind(), path, &error)) << error.toStdString();
    const PlistResult read = readPropertyListFile(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value.toMap(), everyKind());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{u"job.vtprofile"_s});
}

TEST(PropertyList, FileErrorsNameTheFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(u"none/job.vtprofile"_s);
    const PlistResult read = readPropertyListFile(missing);
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.error.contains(missing));

    QString error;
    EXPECT_FALSE(writeXmlPropertyListFile(everyKind(), missing, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
}
