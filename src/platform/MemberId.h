// The dispatch identifier of one member, asked of the object by its name.
#pragma once

#include <string_view>

#include "platform/Automation.h"
#include "platform/OleString.h"

// GetIDsOfNames for one plain ASCII name; `id` is DISPID_UNKNOWN unless the
// object knows the name.
inline HRESULT MemberIdOf(IDispatch& object, std::string_view member, DISPID& id) {
    OleString name(member.begin(), member.end());
    LPOLESTR names[1] = {name.data()};
    id = DISPID_UNKNOWN;
    return object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
}
