// The errors this ADO subset raises: ADO's own error numbers (0x800A0000 plus
// the number, with ADO's texts), and provider errors that carry the text of
// the driver's diagnostics.
#pragma once
#include "frame/errors.h"

#include <string>

namespace adohost {

enum AdoError {
    kBadArguments = 3001,
    kNotAllowedInContext = 3219,
    kItemNotFound = 3265,
    kAlreadyInCollection = 3367,
    kWrongType = 3421,
    kNoCurrentRecord = 3021,
    kObjectClosed = 3704,
    kObjectOpen = 3705,
    kProviderNotFound = 3706,
    kParameterImproper = 3708,
    kConnectionUnusable = 3709,
};

[[noreturn]] void RaiseAdo(AdoError error);
// A failure reported by the provider or its driver (E_FAIL, as ADO reports them).
[[noreturn]] void RaiseProvider(const std::wstring& description);

}  // namespace adohost
