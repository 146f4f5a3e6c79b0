// The session parser and runner: any text as a session file, run against
// the example scorecard's tables in a folder of its own.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "fuzz/FuzzInput.h"
#include "tools/Session.h"
#include "tools/SessionParser.h"
#include "tools/SummaryWriter.h"
#include "tools/TextOutput.h"
#include "tools/TraceWriter.h"

#ifndef TESSEL_EXAMPLES_DIR
#define TESSEL_EXAMPLES_DIR "examples"
#endif

using namespace fuzzing;
namespace fs = std::filesystem;

namespace {

// A fresh copy of the examples, made once and removed when the process
// ends; sessions may write into it.
struct ScratchFolder {
    fs::path path = fs::temp_directory_path() / ("tessel-fuzz-session-" + std::to_string(::getpid()));
    ScratchFolder() {
        fs::create_directories(path);
        for (const fs::directory_entry& entry : fs::directory_iterator(TESSEL_EXAMPLES_DIR))
            if (entry.is_regular_file())
                fs::copy_file(entry.path(), path / entry.path().filename(), fs::copy_options::overwrite_existing);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

const fs::path& Folder() {
    static const ScratchFolder folder;
    return folder.path;
}

// Paths that could reach outside the folder are left alone: the runner
// writes where a session says.
bool StaysInFolder(const std::vector<tessel::Step>& steps) {
    for (const tessel::Step& step : steps) {
        const fs::path path(step.file);
        if (path.is_absolute()) return false;
        for (const fs::path& part : path)
            if (part == "..") return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LeakGuard guard;
    std::vector<tessel::Step> steps;
    try {
        steps = tessel::SessionParser::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
        tessel::Session::Check(steps, {Folder(), Folder()});
    } catch (const tessel::SessionError&) {
        return 0;
    }
    if (!StaysInFolder(steps)) return 0;
    static tessel::TextOutput out("/dev/null");
    tessel::TraceWriter trace(out);
    tessel::SummaryWriter summary(out);
    try {
        tessel::Session session({Folder(), Folder()}, {&trace, &summary});
        session.Run(steps);
    } catch (const tessel::SessionError&) {
    }
    return 0;
}
