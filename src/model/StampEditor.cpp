#include "model/StampEditor.h"

#include <atomic>

namespace veltrane {
namespace {
std::atomic<IStampEditorFactory*> g_factory{nullptr};
}

void setStampEditorFactory(IStampEditorFactory* factory)
{
    g_factory.store(factory);
}

IStampEditorFactory* stampEditorFactory()
{
    return g_factory.load();
}

} // namespace veltrane
