// The text JSON writers append to. A writer calls Spill() at natural breaks
// (after a grid row, after a line); an output that streams to a file writes
// the text out there, one that collects it in memory keeps it all.
#pragma once

#include <string>
#include <string_view>

namespace standins {

class JsonText {
public:
    JsonText() = default;
    JsonText(const JsonText&) = delete;
    JsonText& operator=(const JsonText&) = delete;
    virtual ~JsonText() = default;

    std::string& Buffer() noexcept { return buffer_; }
    void Append(std::string_view text) { buffer_ += text; }
    virtual void Spill() {}

protected:
    std::string buffer_;
};

}  // namespace standins
