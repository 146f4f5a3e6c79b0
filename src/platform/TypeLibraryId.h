// A type library as the registry knows it.
#pragma once

#include "platform/Automation.h"

struct TypeLibraryId {
    GUID libid;
    WORD major;
    WORD minor;
    LCID lcid;
};
