#pragma once

#include <QFile>
#include <qpdf/Pipeline.hh>
#include <QString>

namespace veltrane {

// QPDFWriter's output into a file that notices every failed or short write (a full disk, a
// file-size limit), so an incomplete PDF is never taken for a written one. QPDFWriter calls the
// pipeline from destructors too, where nothing may throw: failures are recorded, later data is
// dropped, and check() reports them once writing is over.
class CheckedFilePipeline : public Pipeline
{
public:
    // Opens (truncating) `path`; throws when it cannot be opened.
    explicit CheckedFilePipeline(const QString& path);

    void write(unsigned char const* data, size_t length) override;
    void finish() override;

    // Throws with a message naming the file when any write or flush failed.
    void check() const;

private:
    void recordFailure();

    QFile m_file;
    QString m_failure;
};

} // namespace veltrane
