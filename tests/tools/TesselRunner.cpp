#include "TesselRunner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tools_testing {

namespace {

std::string ShellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

TesselFolder::TesselFolder() {
    static std::atomic<int> made{0};
    path_ = std::filesystem::temp_directory_path() /
            ("tessel-test-" + std::to_string(::getpid()) + "-" + std::to_string(made++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TesselFolder::~TesselFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TesselFolder::Write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TesselFolder::Read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool TesselFolder::Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

Ran TesselFolder::Tessel(const std::vector<std::string>& args) const {
    std::string command = "cd " + ShellQuoted(path_.string()) + " && " + ShellQuoted(TESSEL_EXECUTABLE);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    command += " > .stdout 2> .stderr";
    const int raw = std::system(command.c_str());
    Ran ran;
    ran.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    ran.out = Read(".stdout");
    ran.err = Read(".stderr");
    return ran;
}

Ran TesselFolder::RunSession(std::string_view session, const std::vector<std::string>& extra) const {
    Write("s.session", session);
    std::vector<std::string> args{"run", "s.session", "--trace", "t.jsonl"};
    args.insert(args.end(), extra.begin(), extra.end());
    return Tessel(args);
}

std::vector<std::string> TesselFolder::TraceLines() const {
    std::vector<std::string> lines;
    std::istringstream in(Read("t.jsonl"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Record(std::initializer_list<std::pair<int, std::string_view>> fields) {
    std::string record;
    for (auto [width, text] : fields) {
        std::string field(text.substr(0, width));
        field.resize(width, ' ');
        record += field;
    }
    return record;
}

}  // namespace tools_testing
