// IEnumVARIANT over a snapshot of values: what For Each walks over the
// Fields and Parameters collections.
#pragma once
#include "frame/auto_values.h"
#include "frame/com_ptr.h"

#include <oaidl.h>
#include <vector>

namespace adohost {

// Takes the values; returns the enumerator as IUnknown.
HRESULT NewVariantEnum(std::vector<vemo::Variant> values, IUnknown** out);

}  // namespace adohost
