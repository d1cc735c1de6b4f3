#pragma once

#include "model/StampTypes.h"

#include <memory>

namespace veltrane {

class IStampItem;
class Numbering;

// A stamp's property editor as the stamp sees it. The desktop program implements it; the core
// only opens, refreshes and closes editors through it. Main thread only.
class IStampEditor
{
public:
    virtual ~IStampEditor() = default;
    virtual void setNumber(Numbering* number) = 0;
    virtual void setStamp(IStampItem* stamp) = 0;
    virtual void bringToFront() = 0;
    virtual void reset() = 0;      // reload the controls from the stamp
    virtual void invalidate() = 0; // stop touching the stamp and the job
    virtual void close() = 0;
};

class IStampEditorFactory
{
public:
    virtual ~IStampEditorFactory() = default;
    virtual std::unique_ptr<IStampEditor> createEditor(StampKind kind) = 0;
};

// The factory that edit() uses; none (the default, headless) means stamps open no editor.
// Not owned.
void setStampEditorFactory(IStampEditorFactory* factory);
IStampEditorFactory* stampEditorFactory();

} // namespace veltrane
