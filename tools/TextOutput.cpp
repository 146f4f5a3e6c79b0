#include "tools/TextOutput.h"

#include <cerrno>
#include <cstring>

namespace tessel {

TextOutput::TextOutput(const std::string& name) : name_(name) {
    if (name == "-") {
        file_ = stdout;
    } else {
        file_ = std::fopen(name.c_str(), "wb");
        if (!file_) throw OutputError(name + ": cannot write: " + std::strerror(errno));
        owned_ = true;
    }
    buffer_.reserve(kSpillSize + (kSpillSize >> 2));
}

TextOutput::~TextOutput() {
    // A destructor cannot report; callers that care flush first.
    if (file_) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    if (owned_) std::fclose(file_);
    else if (file_) std::fflush(file_);
}

void TextOutput::Flush() {
    const std::size_t size = buffer_.size();
    const std::size_t written = size ? std::fwrite(buffer_.data(), 1, size, file_) : 0;
    buffer_.clear();
    if (written != size || std::fflush(file_) != 0) {
        const std::string name = name_ == "-" ? "standard output" : name_;
        throw OutputError(name + ": cannot write: " + std::strerror(errno));
    }
}

}  // namespace tessel
