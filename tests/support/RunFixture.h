#pragma once

#include "model/Settings.h"
#include "model/TextStamp.h"
#include "processing/Process.h"
#include "support/ItemTools.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"

#include <functional>
#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

namespace veltrane::test {

// Runs of the stamping job over listed sources in "in/", written to "out/" unless another folder
// is given. The job carries one "<{0}/{1}>" stamp at the bottom right; every progress text is
// kept in m_reports.
class RunFixture : public ::testing::Test
{
protected:
    RunFixture()
    {
        QDir().mkpath(in());
        QDir().mkpath(out());
        auto stamp = std::make_unique<TextStamp>();
        stamp->setNumberFormat(QStringLiteral("<{0}/{1}>"));
        stamp->setMarginAnchor(BottomRight);
        m_settings.number().stamps().push_back(std::move(stamp));
    }

    // A folder's path when `name` is empty.
    QString in(const QString& name = {}) const
    {
        return QDir(m_dir.filePath(QStringLiteral("in"))).filePath(name);
    }
    QString out(const QString& name = {}) const
    {
        return QDir(m_dir.filePath(QStringLiteral("out"))).filePath(name);
    }

    // PDFs of 300 x 300 points named doc1.pdf, doc2.pdf, ... with these page counts.
    QList<FileItem> pdfs(const QList<int>& pages)
    {
        QList<FileItem> items;
        for (int i = 0; i < pages.size(); ++i) {
            const QString path = in(QStringLiteral("doc%1.pdf").arg(i + 1));
            writeBodyPdf(path, pages[i], QSizeF(300, 300));
            items.append(listedItem(path));
        }
        return items;
    }

    using ProgressHandler = std::function<void(Process&, const RunProgress&)>;
    std::unique_ptr<Process> run(const QList<FileItem>& items, int jobs = 1,
                                 ProgressHandler onProgress = {}, const QString& output = {})
    {
        auto process = std::make_unique<Process>(m_settings);
        process->setJobs(jobs);
        Process* raw = process.get();
        process->setProgressHandler([this, raw, onProgress](const RunProgress& progress) {
            m_reports << progress.text;
            if (onProgress) {
                onProgress(*raw, progress);
            }
        });
        process->combine(items, output.isEmpty() ? out() : output);
        process->start(totalPagesOf(items));
        return process;
    }

    ScopedPreferences m_preferences;
    QTemporaryDir m_dir;
    Settings m_settings;
    QStringList m_reports;
};

} // namespace veltrane::test
