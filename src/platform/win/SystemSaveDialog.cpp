// The system's save-file dialog, owned as the framework owns its dialogs.
#include "platform/SaveFileDialog.h"

#include <commdlg.h>

#include <algorithm>

namespace platform {
namespace {

constexpr DWORD kMaxPath = 1024;

// The framework's "description|pattern|" pairs become the dialog's
// NUL-separated list, ended by a second NUL.
OleString DialogFilter(const OleString& filter) {
    OleString list = filter;
    std::replace(list.begin(), list.end(), OLECHAR('|'), OLECHAR(0));
    list.push_back(0);
    return list;
}

// The framework's default owner window: the container's window, or the
// active window where there is none. A dialog is owned by a top-level
// window, not by a child, and goes over that window's last active pop-up.
HWND DefaultOwner(HWND container) {
    HWND owner = container ? container : GetActiveWindow();
    while (owner && (GetWindowLongW(owner, GWL_STYLE) & WS_CHILD)) owner = GetParent(owner);
    return owner ? GetLastActivePopup(owner) : nullptr;
}

}  // namespace

std::optional<OleString> ShowSystemSaveDialog(const SaveDialogOptions& options) {
    OLECHAR path[kMaxPath] = {};
    options.initialName.copy(path, kMaxPath - 1);
    const OleString filter = DialogFilter(options.filter);
    // The extension is given without its "*.".
    const OleString extension = options.defaultExtension.substr(options.defaultExtension.find_last_of(OLESTR(".")) + 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = DefaultOwner(static_cast<HWND>(options.container));
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = kMaxPath;
    dialog.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
    dialog.lpstrDefExt = extension.c_str();
    // The framework's hook is its own window procedure; this dialog has none.
    dialog.Flags = options.flags & ~kEnableHook;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return OleString(path);
}

}  // namespace platform
