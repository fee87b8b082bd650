#pragma once

#include "sections/palm_desktop.h"
#include "sections/section_handler.h"
#include "win/com_ptr.h"

#include <memory>
#include <optional>

class CommandProcessor;

/// Makes the handler of a section from Palm Desktop's application object;
/// null when there is none. `createSectionHandler` in Palm Desktop.
using SectionHandlerMaker = std::unique_ptr<SectionHandler> (*)(
    const win::ComPtr<PalmApplication>& application, int section);

/// Carries out one command on Palm Desktop's user-interface thread: makes
/// or picks the section handler, calls one of its operations, puts what it
/// gives into the answer. Keeps the current handler (between a begin and
/// its end) and the last section a command named (for commands 8 and 10).
///
/// Where the command cannot reach a handler the result is ResponseFailed
/// and Palm Desktop is not touched: a command needing the current handler
/// while none is current, a section outside 0-3, commands 8 and 10 before
/// any command named a section, a code outside 0-10. A begin or delete-all
/// that arrives while a handler is current destroys that handler.
class SectionDispatch {
public:
    /// A dispatch that makes its handlers with `maker`.
    explicit SectionDispatch(SectionHandlerMaker maker) noexcept : maker_(maker) {}

    SectionDispatch(const SectionDispatch&) = delete;
    SectionDispatch& operator=(const SectionDispatch&) = delete;

    /// Runs command `code` with the arguments in `command`; stores the
    /// handler's result in `result` and its out-data in `answer` (kind 11
    /// on entry; 12 for a count, 13 for a category list read).
    void run(int code, const win::ComPtr<PalmApplication>& application,
             const CommandProcessor& command, CommandProcessor& answer, int& result);

    /// Destroys the current handler and forgets the last named section.
    void reset() noexcept;
    /// Destroys the current handler; the last named section stays.
    void releaseCurrentHandler() noexcept { current_.reset(); }
    /// Replaces the way handlers are made.
    void setMaker(SectionHandlerMaker maker) noexcept { maker_ = maker; }
    /// True while an import or export bracket holds a handler.
    bool hasCurrentHandler() const noexcept { return current_ != nullptr; }
    /// The section of the last command 0, 2 or 7, if any.
    std::optional<int> lastNamedSection() const noexcept { return lastSection_; }

private:
    /// Makes a handler for `section` and makes it current, destroying the
    /// one it replaces.
    void makeCurrent(const win::ComPtr<PalmApplication>& application, int section);

    SectionHandlerMaker maker_;
    std::unique_ptr<SectionHandler> current_;
    std::optional<int> lastSection_;
};

/// The process-wide dispatch that the timer procedure runs, making its
/// handlers with `createSectionHandler`. User-interface thread only.
SectionDispatch& sectionDispatch();
