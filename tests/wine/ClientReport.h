// One line a check, "ok   what" or "FAIL what: got X, want Y", and last
// "DONE failures=N", which tools/wine/run.sh reads as the verdict (session.vbs
// prints the same lines).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

class ClientReport {
public:
    bool Check(std::string_view what, bool ok, std::string_view got, std::string_view want) {
        std::string line(ok ? "ok   " : "FAIL ");
        line += what;
        if (!ok) {
            ++failures_;
            line.append(": got ").append(got).append(", want ").append(want);
        }
        std::puts(line.c_str());
        return ok;
    }
    bool Compare(std::string_view what, std::string_view got, std::string_view want) {
        return Check(what, got == want, got, want);
    }
    // Prints the last line and answers the client's exit status.
    int Done() const {
        std::printf("DONE failures=%d\n", failures_);
        return failures_ == 0 ? 0 : 1;
    }

private:
    int failures_ = 0;
};
