// An installed answerer stands for the user; without one the system's own
// dialog is shown where there is one.
#include "platform/SaveFileDialog.h"

#include <utility>

namespace platform {
namespace {

SaveDialogAnswerer& Answerer() {
    static SaveDialogAnswerer answerer;
    return answerer;
}

}  // namespace

std::optional<OleString> RunSaveFileDialog(const SaveDialogOptions& options) {
    const SaveDialogAnswerer& answerer = Answerer();
    if (!answerer) return ShowSystemSaveDialog(options);
    return answerer(options);
}

SaveDialogAnswerer InstallSaveDialogAnswerer(SaveDialogAnswerer answerer) {
    return std::exchange(Answerer(), std::move(answerer));
}

}  // namespace platform
