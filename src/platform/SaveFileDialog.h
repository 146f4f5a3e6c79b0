// The platform's save-file dialog, reduced to what a control asks of it.
//
// On Windows it is the system's dialog. Elsewhere no dialog can be shown: the
// host process installs an answerer, which sees the options and answers a
// path or cancel; without one every dialog is cancelled.
#pragma once

#include <functional>
#include <optional>

#include "platform/ComponentError.h"

namespace platform {

// Option values as the platform numbers them.
inline constexpr DWORD kOverwritePrompt = 0x2;
inline constexpr DWORD kHideReadOnly = 0x4;
inline constexpr DWORD kEnableHook = 0x20;
inline constexpr DWORD kExplorer = 0x80000;
inline constexpr DWORD kEnableSizing = 0x800000;
// What the framework's file dialog adds to every caller's options.
inline constexpr DWORD kFrameworkDialogFlags = kEnableHook | kExplorer | kEnableSizing;

struct SaveDialogOptions {
    OleString title;
    OleString initialName;
    // The framework's form: description|pattern| pairs.
    OleString filter;
    OleString defaultExtension;
    DWORD flags = 0;
    // The container's window (an HWND); null: the container has none.
    void* container = nullptr;
};

// The full path chosen, or nothing when the user cancelled.
std::optional<OleString> RunSaveFileDialog(const SaveDialogOptions& options);
// The system's dialog, which RunSaveFileDialog shows when no answerer is
// installed; without a windowing system it cancels.
std::optional<OleString> ShowSystemSaveDialog(const SaveDialogOptions& options);

using SaveDialogAnswerer = std::function<std::optional<OleString>(const SaveDialogOptions&)>;
// Installs the answerer (an empty one cancels every dialog); returns the one
// it replaces.
SaveDialogAnswerer InstallSaveDialogAnswerer(SaveDialogAnswerer answerer);

}  // namespace platform
