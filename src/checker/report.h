// The checker's output: one line per check, "OK ...", "PROBLEM ..." (what
// was found and the command that mends it) or "NOT RUN ..." (why it could
// not run), then "N checks, M problems, K not run".
#pragma once
#include <string>

namespace vemo::check {

class Report {
public:
    explicit Report(bool quiet) : quiet_(quiet) {}
    void Ok(const std::wstring& what);
    // `mend`: the command (or step) that mends it.
    void Problem(const std::wstring& what, const std::wstring& mend);
    void NotRun(const std::wstring& what, const std::wstring& why);
    // The last line; the process's exit code: 0 every check OK, 1 a
    // problem, 2 no problem but some checks could not run.
    int Finish();

private:
    void Line(const std::wstring& text);

    bool quiet_;
    int checks_ = 0, problems_ = 0, notRun_ = 0;
};

}  // namespace vemo::check
