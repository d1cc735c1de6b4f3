#pragma once

namespace veltrane {

class Numbering;

// Receives the job's change notices, on the thread that made the change.
class NumberingDelegate
{
public:
    virtual ~NumberingDelegate() = default;
    virtual void PropertyChanged(Numbering* number) = 0;
};

} // namespace veltrane
