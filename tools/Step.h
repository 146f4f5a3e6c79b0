// One checked line of a session file.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ComponentError.h"
#include "tools/AdapterMembers.h"

namespace tessel {

// Why a session cannot run (or cannot go on), and the session line at fault.
class SessionError : public std::runtime_error {
public:
    SessionError(long line, const std::string& message) : std::runtime_error(message), line_(line) {}
    long Line() const noexcept { return line_; }

private:
    long line_;
};

// A method argument, already of the parameter's type.
struct Argument {
    VARTYPE type = VT_EMPTY;
    LONG number = 0;     // VT_I4, VT_I2; VT_BOOL as 0 or 1
    OleString text;      // VT_BSTR
    bool chart = false;  // VT_DISPATCH: the stand-in chart, or null
};

struct Step {
    enum class Kind {
        Env,             // text: default, none or noscheme
        Set,             // member, value (+ file and flag, or number)
        Get,             // member, optional file
        Call,            // member, optional argument; also version, attach, webgui
        ChartGrid,       // dispid, file
        ChartBytes,      // dispid, file
        ChartSelection,  // texts: object, strategy, perspective
        ChartMatrix,     // texts: object, row
        ChartStrategy,   // texts: the one text
        ChartFail,       // dispid, code, texts: optional description
        Dialog,          // file, or cancel
    };
    enum class Value { None, Null, Number, File };

    Kind kind = Kind::Call;
    long line = 0;
    const AdapterMember* member = nullptr;
    Value value = Value::None;
    std::string file;  // as written; resolved against the session's folder
    std::string text;  // Env: the environment
    LONG number = 0;   // Set N; the chart steps' dispid
    LONG flag = 1;     // Set FILE flag=N
    std::optional<Argument> argument;
    HRESULT code = S_OK;
    std::vector<OleString> texts;
    bool cancel = false;  // Dialog

    // Whether the step calls a member of the control (and is traced).
    bool CallsMember() const noexcept { return kind == Kind::Set || kind == Kind::Get || kind == Kind::Call; }
};

}  // namespace tessel
