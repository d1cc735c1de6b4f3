#include "filelist/FileItem.h"
#include "FuzzEnvironment.h"
#include "FuzzTargets.h"

namespace veltrane::fuzz {

int fileItem(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    const QString path = writeInput(QStringLiteral("item.") + extensionFor(data[0]),
                                    reinterpret_cast<const char*>(data + 1), size - 1);
    if (std::optional<FileItem> item = FileItem::initWithURL(QUrl::fromLocalFile(path))) {
        for (const char* field :
             {"name", "pages", "sizeInKB", "type", "dateModified", "location", "secured"}) {
            item->displayField(QString::fromLatin1(field));
        }
        item->dateTaken();
    }
    return 0;
}

} // namespace veltrane::fuzz
