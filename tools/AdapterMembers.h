// The adapter's 53 dispatch members as a session names them: what each one
// is, so that a session is checked before it runs and its argument words
// become the variants the member declares. The table is read from the
// control's dispatch map.
#pragma once

#include <span>
#include <string_view>

#include "control/MemberDetail.h"
#include "platform/Automation.h"

namespace tessel {

enum class MemberKind {
    TableProperty,  // VT_DISPATCH host table
    LongProperty,   // VT_I4
    TextProperty,   // VT_BSTR
    Method,
};

struct AdapterMember {
    std::string_view name;
    DISPID id;
    MemberKind kind;
    bool readable;  // properties: get allowed
    bool writable;  // properties: put allowed
    // Methods: the one parameter's type (VT_EMPTY: none) and the result's.
    VARTYPE parameter = VT_EMPTY;
    VARTYPE result = VT_EMPTY;
    std::string_view parameterName;
    // Table properties: what the member reads (its form, layouts, versions).
    const MemberDetail* table = nullptr;

    bool IsProperty() const noexcept { return kind != MemberKind::Method; }
    bool TakesArgument() const noexcept { return parameter != VT_EMPTY; }
    bool HasResult() const noexcept { return result != VT_EMPTY; }
};

std::span<const AdapterMember> AdapterMembers();
// Exact, case-sensitive lookup; null when there is no such member.
const AdapterMember* FindAdapterMember(std::string_view name);
// The table property of that name; a UsageError naming the nearest table
// property when there is none.
const AdapterMember& TableProperty(std::string_view name);

}  // namespace tessel
