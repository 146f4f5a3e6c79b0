// Runs the built tessel executable in a temporary folder of its own, with
// the files a test writes there, and collects what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tools_testing {

struct Ran {
    int status = -1;
    std::string out;
    std::string err;
};

class TesselFolder {
public:
    TesselFolder();
    ~TesselFolder();
    TesselFolder(const TesselFolder&) = delete;
    TesselFolder& operator=(const TesselFolder&) = delete;

    const std::filesystem::path& Path() const noexcept { return path_; }
    void Write(const std::string& name, std::string_view bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

    // tessel ARGS, run from this folder.
    Ran Tessel(const std::vector<std::string>& args) const;
    // Writes s.session and runs it with --trace t.jsonl (plus extra).
    Ran RunSession(std::string_view session, const std::vector<std::string>& extra = {}) const;
    std::vector<std::string> TraceLines() const;

private:
    std::filesystem::path path_;
};

// A blank-padded record from (width, text) fields.
std::string Record(std::initializer_list<std::pair<int, std::string_view>> fields);

}  // namespace tools_testing
