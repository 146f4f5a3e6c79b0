// With no windowing system there is no dialog to show: the user cancels.
#include "platform/SaveFileDialog.h"

namespace platform {

std::optional<OleString> ShowSystemSaveDialog(const SaveDialogOptions&) { return std::nullopt; }

}  // namespace platform
