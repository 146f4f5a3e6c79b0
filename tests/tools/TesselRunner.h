// Runs the built tessel executable in a temporary folder of its own, with
// the files a test writes there, and collects what it printed.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "standins/TableFiles.h"
#include "support/AdapterFixture.h"

namespace tools_testing {

struct Ran { int status = -1; std::string out, err; };

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class TesselFolder {
public:
    TesselFolder() {
        static std::atomic<int> made{0};
        path_ /= "tessel-test-" + std::to_string(::getpid()) + "-" + std::to_string(made++);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TesselFolder() { std::error_code ignored; std::filesystem::remove_all(path_, ignored); }
    TesselFolder(const TesselFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    void Write(const std::string& name, std::string_view bytes) const {
        std::ofstream(path_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(const std::string& name) const { return standins::ReadFileBytes(path_ / name, name); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

    // tessel ARGS, run from this folder, with `input` on its standard input.
    Ran Tessel(const std::vector<std::string>& args, std::string_view input = {}) const {
        Write(".stdin", input);
        std::string command = "cd " + Quoted(path_.string()) + " && " + Quoted(TESSEL_EXECUTABLE);
        for (const std::string& arg : args) command += " " + Quoted(arg);
        const int raw = std::system((command + " < .stdin > .stdout 2> .stderr").c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Read(".stdout"), Read(".stderr")};
    }
    // Writes s.session and runs it with --trace t.jsonl (plus extra).
    Ran RunSession(std::string_view session, std::vector<std::string> extra = {}) const {
        Write("s.session", session);
        extra.insert(extra.begin(), {"run", "s.session", "--trace", "t.jsonl"});
        return Tessel(extra);
    }
    std::vector<std::string> TraceLines() const { return SplitLines(Read("t.jsonl")); }

private:
    static std::string Quoted(const std::string& word) {
        std::string quoted = "'";
        for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    }

    std::filesystem::path path_ = std::filesystem::temp_directory_path();
};

using testing_support::Record;

// A perspectives record, layout 310, with the given text in P3.
inline std::string Perspective(std::string_view sequence, std::string_view key, std::string_view text) {
    return Record({{2, sequence}, {10, key}, {60, text}, {30, ""}, {15, "Short"}, {1, "3"}, {1, "X"}, {10, "T"},
                   {10, "0000000042"}});
}

}  // namespace tools_testing
