// The host's login properties, read through its shared-property component
// under this process's id. Nothing is cached and nothing is trapped: every
// failure reaches the calling member as raised.
#pragma once
#include "frame/auto_values.h"

namespace vemo::MMTS {

// The value of a named shared property: an object reference when the
// component answers with an object, else the plain value.
Variant GetShareProperty(const wchar_t* name);
// The property "PropsString" as text, by the automation coercion rules.
Bstr GetPropsString();

}  // namespace vemo::MMTS
