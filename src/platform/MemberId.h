// The dispatch identifier of one member, asked of the object by its name.
#pragma once

#include <string_view>

#include "platform/Automation.h"
#include "platform/ComponentError.h"
#include "platform/OleString.h"

// GetIDsOfNames for one plain ASCII name; `id` is DISPID_UNKNOWN unless the
// object knows the name.
inline HRESULT MemberIdOf(IDispatch& object, std::string_view member, DISPID& id) {
    OleString name(member.begin(), member.end());
    LPOLESTR names[1] = {name.data()};
    id = DISPID_UNKNOWN;
    return object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
}

// The same for a caller that cannot go on without the member: raises when
// the object does not know it.
inline DISPID MemberId(IDispatch& object, std::string_view member) {
    DISPID id = DISPID_UNKNOWN;
    CheckResult(MemberIdOf(object, member, id));
    return id;
}
