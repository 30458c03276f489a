// The installer's fixed identities. The UpgradeCode never changes: every
// version of a package finds the one it replaces by it. One per
// architecture, so that the 32-bit and the 64-bit library can be installed
// side by side. Product, package and component codes are name-based UUIDs in
// kCodeSpace (name_uuid.h).
#pragma once

namespace vemo::msi {

inline constexpr char kUpgradeCodeX86[] = "{CF722478-1C43-44FE-8E17-08E74E405282}";
inline constexpr char kUpgradeCodeX64[] = "{63AD85F5-9671-43B5-920D-ADF44C7598E2}";
inline constexpr char kCodeSpace[] = "{213BFDAB-77D9-4B5F-AAD6-528E4EB252A1}";

inline constexpr char kProductName[] = "VemoFunction";
inline constexpr char kManufacturer[] = "VemoFunction developers";  // the version resource's CompanyName
inline constexpr char kDowngradeMessage[] =
    "A newer version of VemoFunction is already installed. Remove it first to install this one.";

}  // namespace vemo::msi
