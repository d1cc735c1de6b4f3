#pragma once

#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"
#include "support/StampFixtures.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

namespace veltrane::test {

// One job and a folder of its own, for stamping files directly. A suite sets the defaults of
// its stamps in its constructor.
class StampJobFixture : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QStringList folderEntries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    // `anchor` -1 takes the suite's m_textAnchor.
    TextStamp& addText(const QString& format, qint32 anchor = -1)
    {
        auto stamp = std::make_unique<TextStamp>();
        stamp->setNumberFormat(format);
        stamp->setMarginAnchor(anchor < 0 ? m_textAnchor : anchor);
        if (!m_fontName.isEmpty()) {
            stamp->font().setFontName(m_fontName);
        }
        stamp->font().setFontSize(m_fontSize);
        TextStamp& ref = *stamp;
        m_job.stamps().push_back(std::move(stamp));
        return ref;
    }

    // `size` 0 takes the suite's m_blockSize.
    ImageStamp& addBlock(QColor colour, qint32 anchor, qint64 size = 0)
    {
        auto stamp = blockStamp(colour, anchor, size > 0 ? size : m_blockSize);
        ImageStamp& ref = *stamp;
        m_job.stamps().push_back(std::move(stamp));
        return ref;
    }

    // Every output written must pass `qpdf --check` (one kept encrypted needs its password).
    bool stampPdf(const QString& source, const QString& target, qint64 total = 0,
                  const QString& password = {})
    {
        m_job.reset();
        const bool written = m_job.processPDF(source, target, password, total);
        if (written && !m_job.keepsEncryption()) {
            EXPECT_EQ(qpdfCheck(target), QString()) << qPrintable(source);
        }
        return written;
    }

    bool stampTiff(const QString& source, const QString& target, qint32 compression = 1,
                   qint64 total = 0)
    {
        m_job.reset();
        return m_job.processTIFF(source, target, total, compression);
    }

    qint32 m_textAnchor = BottomRight;
    double m_fontSize = 14;
    QString m_fontName; // empty: the stamp's default
    qint64 m_blockSize = 40;
    ScopedPreferences m_preferences;
    QTemporaryDir m_dir;
    Numbering m_job;
};

} // namespace veltrane::test
