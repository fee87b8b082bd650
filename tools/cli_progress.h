#pragma once

#include <cstdio>
#include <string>

namespace cli {

/// The progress line of a long export or import on standard error. It is
/// shown only when the total is more than a few records, and only when
/// standard error is a terminal or the user asked for it. On a terminal the
/// line is redrawn in place; elsewhere a line is written at every tenth of
/// the way and at the end, so that a log stays short.
class Progress {
public:
    /// Records up to this many show no progress.
    static constexpr int fewRecords = 10;

    /// Progress of `what` (for example "export contacts") over `total`
    /// records; `asked` forces it on away from a terminal.
    Progress(std::string what, int total, bool asked, std::FILE* out = stderr);
    /// Ends the line when one was drawn.
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    /// Reports that `done` records are through.
    void update(int done);

private:
    void draw(int done);

    std::string what_;
    int total_;
    std::FILE* out_;
    bool shown_ = false;
    bool terminal_ = false;
    bool drawn_ = false;
    int lastTenth_ = -1;
};

}  // namespace cli
