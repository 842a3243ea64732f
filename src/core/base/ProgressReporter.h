#pragma once
#include <string>

namespace quiltara {

/// Long operations report through this: the GUI shows it in the status bar
/// (`CStatusProgress`), the command-line tool ignores it, tests record it.
class IProgressReporter {
public:
    virtual ~IProgressReporter() = default;
    virtual void Begin(const std::string& caption, int range) = 0;
    virtual void SetPos(int pos) = 0;
    virtual void End() = 0;
    /// True once the user asked to stop; operations that can stop poll it.
    virtual bool CancelRequested() { return false; }
};

/// Reports to nobody.
class CNullProgress final : public IProgressReporter {
public:
    void Begin(const std::string&, int) override {}
    void SetPos(int) override {}
    void End() override {}
};

} // namespace quiltara
