// With no windowing system the host's installed answerer stands for the user.
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
    if (!answerer) return std::nullopt;
    return answerer(options);
}

SaveDialogAnswerer InstallSaveDialogAnswerer(SaveDialogAnswerer answerer) {
    return std::exchange(Answerer(), std::move(answerer));
}

}  // namespace platform
