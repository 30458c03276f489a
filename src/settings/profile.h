// The opening of the settings document shared by the IniFile settings
// members: the user profile component is created and loaded, its root
// dictionary taken and the section looked up.
#pragma once
#include "frame/auto_values.h"
#include "frame/com_ptr.h"
#include "VemoFunction_h.h"

#include <string>
#include <string_view>

namespace vemo {

struct SettingsProfile {
    // Raises when any step fails, or when the section entry is not a
    // dictionary. The profile object is kept only when `keepForSave`.
    SettingsProfile(const std::u16string& documentName, std::u16string_view section, bool keepForSave);
    // Saves the document under the same two names it was loaded with.
    void Save();

    ComPtr<IPyxDictionary> root;
    ComPtr<IPyxDictionary> section;  // null when the section does not exist

private:
    ComPtr<IDispatch> profile_;
    std::u16string documentName_;
};

}  // namespace vemo
