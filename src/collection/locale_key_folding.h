// The Windows key folding of the keyed collection: two keys are the same key
// exactly when CompareStringW with NORM_IGNORECASE, under the user's locale,
// calls them equal. The fold is that comparison's sort key, which Windows
// defines to order and equate texts exactly as CompareStringW does, so the
// collection can hash it.
#pragma once
#include "collection/keyed_list.h"

#include <windows.h>

namespace vemo {

class LocaleKeyFolding final : public KeyFolding {
public:
    // The locale is taken once: a collection's keys must fold the same way
    // for its whole life, even if the user changes the setting meanwhile.
    explicit LocaleKeyFolding(LCID locale = GetUserDefaultLCID()) : locale_(locale) {}
    std::u16string Fold(std::u16string_view key) const override;

private:
    LCID locale_;
};

}  // namespace vemo
