// A buffered output file (or standard output) for traces, summaries and
// grids. Writers append to Buffer() and call Spill() at natural breaks, so
// that a trace of a million-row grid streams out instead of piling up.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

#include "standins/JsonText.h"

namespace tessel {

class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TextOutput final : public standins::JsonText {
public:
    // "-" is standard output. Raises OutputError when the file cannot be
    // created.
    explicit TextOutput(const std::string& name);
    ~TextOutput() override;

    // Writes the buffer out once it has grown large.
    void Spill() override {
        if (buffer_.size() >= kSpillSize) Flush();
    }
    // Writes everything; raises OutputError when the system refuses.
    void Flush();

private:
    static constexpr std::size_t kSpillSize = 1 << 20;

    std::string name_;
    std::FILE* file_ = nullptr;
    bool owned_ = false;
};

}  // namespace tessel
