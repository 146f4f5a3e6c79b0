// The QueryInterface of an object that offers one interface pointer under
// each of a few identifiers.
#pragma once

#include <initializer_list>

#include "platform/Automation.h"

// Hands out `object` with a reference added when riid is one of `offered`;
// otherwise nulls the answer and refuses.
inline HRESULT AnswerQuery(IUnknown* object, REFIID riid, std::initializer_list<const IID*> offered,
                           void** answer) noexcept {
    if (!answer) return E_POINTER;
    for (const IID* iid : offered)
        if (IsEqualIID(riid, *iid)) {
            *answer = object;
            object->AddRef();
            return S_OK;
        }
    *answer = nullptr;
    return E_NOINTERFACE;
}
