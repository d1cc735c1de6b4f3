#include "filelist/ListImport.h"
#include "FuzzTargets.h"

namespace veltrane::fuzz {

int listImport(const uint8_t* data, size_t size)
{
    ListImport import;
    import.parseText(QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)));
    import.totalFilesFoundText();
    import.problemAfterParsing();
    return 0;
}

} // namespace veltrane::fuzz
