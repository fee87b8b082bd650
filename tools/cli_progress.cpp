#include "tools/cli_progress.h"

#include <io.h>

namespace cli {

Progress::Progress(std::string what, int total, bool asked, std::FILE* out)
    : what_(std::move(what)), total_(total), out_(out) {
    terminal_ = _isatty(_fileno(out_)) != 0;
    shown_ = total_ > fewRecords && (terminal_ || asked);
}

Progress::~Progress() {
    if (drawn_ && terminal_) std::fputc('\n', out_);
    std::fflush(out_);
}

void Progress::update(int done) {
    if (!shown_) return;
    if (terminal_) {
        draw(done);
        return;
    }
    const int tenth = total_ > 0 ? done * 10 / total_ : 10;
    if (tenth != lastTenth_) {
        lastTenth_ = tenth;
        draw(done);
    }
}

void Progress::draw(int done) {
    const int percent = total_ > 0 ? done * 100 / total_ : 100;
    std::fprintf(out_, "%s%s: %d of %d records (%d%%)%s", terminal_ ? "\r" : "", what_.c_str(), done, total_,
                 percent, terminal_ ? "" : "\n");
    std::fflush(out_);
    drawn_ = true;
}

}  // namespace cli
