#include "ado_errors.h"

namespace adohost {
namespace {

const wchar_t* TextOf(AdoError error) {
    switch (error) {
    case kBadArguments:
        return L"Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";
    case kNotAllowedInContext: return L"Operation is not allowed in this context.";
    case kItemNotFound:
        return L"Item cannot be found in the collection corresponding to the requested name or ordinal.";
    case kAlreadyInCollection: return L"Object is already in collection. Cannot append.";
    case kWrongType: return L"Application uses a value of the wrong type for the current operation.";
    case kNoCurrentRecord:
        return L"Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
               L"current record.";
    case kObjectClosed: return L"Operation is not allowed when the object is closed.";
    case kObjectOpen: return L"Operation is not allowed when the object is open.";
    case kProviderNotFound: return L"Provider cannot be found. It may not be properly installed.";
    case kParameterImproper:
        return L"Parameter object is improperly defined. Inconsistent or incomplete information was provided.";
    case kConnectionUnusable:
        return L"The connection cannot be used to perform this operation. It is either closed or invalid in this "
               L"context.";
    }
    return L"Unknown error.";
}

}  // namespace

void RaiseAdo(AdoError error) { vemo::Raise(vemo::ControlError(error), TextOf(error)); }

void RaiseProvider(const std::wstring& description) { vemo::Raise(E_FAIL, description); }

}  // namespace adohost
