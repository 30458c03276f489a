// The library's COM identities as text: what registration writes, what
// the side-by-side manifest declares and what the registration checker
// (src/checker) expects. Portable (no Windows header), so that the build's
// manifest writer (tools/manifest) compiles it for the build machine and
// the manifest cannot drift from the registration.
#pragma once

namespace vemo::table {

struct ClassText {
    const wchar_t* clsid;
    const wchar_t* progId;  // also the class description
    const wchar_t* name;
};

struct InterfaceText {
    const wchar_t* iid;
    const wchar_t* name;
    // Aliases in the type library, so registering the library does not
    // register them: registration writes their keys itself.
    bool alias;
    int ofClass;  // the index in kClasses of the class that answers it
};

// A type library that VemoFunction's refers to (an importlib of its IDL):
// unregistered, early binding cannot resolve the types it gives and the
// type-library marshaller cannot build the proxies of the interfaces whose
// parameters have them.
struct ImportedLibraryText {
    const wchar_t* name;
    const wchar_t* libId;
    unsigned short major, minor;
    unsigned long lcid;  // the locale it is registered under
    const wchar_t* provider;  // what installs it
};

inline constexpr wchar_t kAssemblyName[] = L"VemoFunction";
inline constexpr wchar_t kAssemblyVersion[] = L"9.0.0.1203";  // the file version
inline constexpr wchar_t kDllName[] = L"VemoFunction.dll";
inline constexpr wchar_t kLibId[] = L"{A8CB253F-E499-11D5-9FA9-00E04C54B3B6}";
inline constexpr wchar_t kLibVersion[] = L"1.2";
inline constexpr unsigned short kLibMajor = 1, kLibMinor = 2;
// What registering the type library writes beside its path: the library's
// help string (idl/VemoFunction.idl) and its flags (LIBFLAG_FHASDISKIMAGE).
// The installer writes them as rows of its own.
inline constexpr wchar_t kLibHelpString[] = L"DAZ Functions V2.0";
inline constexpr wchar_t kLibFlags[] = L"8";
inline constexpr wchar_t kThreadingModel[] = L"Apartment";
// The type-library marshaller, which every dual interface uses.
inline constexpr wchar_t kAutomationMarshaller[] = L"{00020424-0000-0000-C000-000000000046}";
inline constexpr wchar_t kIDispatch[] = L"{00020400-0000-0000-C000-000000000046}";

// In the order of the class factory's table (frame/classes.cpp).
inline constexpr ClassText kClasses[] = {
    {L"{A8CB2541-E499-11D5-9FA9-00E04C54B3B6}", L"VemoFunction.IniFile", L"IniFile"},
    {L"{A8CB2547-E499-11D5-9FA9-00E04C54B3B6}", L"VemoFunction.VemoFuns", L"VemoFuns"},
    {L"{A8CB2545-E499-11D5-9FA9-00E04C54B3B6}", L"VemoFunction.Btns", L"Btns"},
    {L"{A8CB2543-E499-11D5-9FA9-00E04C54B3B6}", L"VemoFunction.Btn", L"Btn"},
};

// The dual interfaces, with the two older IniFile IIDs.
inline constexpr InterfaceText kInterfaces[] = {
    {L"{CC289CE1-275D-43BA-A3B7-23E2C0D703D2}", L"_IniFile", false, 0},
    {L"{A8CB2540-E499-11D5-9FA9-00E04C54B3B6}", L"IniFile___v0", true, 0},
    {L"{B7AD0309-C0CB-4506-A74F-93D37EEFD9C7}", L"IniFile___v1", true, 0},
    {L"{A8CB2546-E499-11D5-9FA9-00E04C54B3B6}", L"_VemoFuns", false, 1},
    {L"{A8CB2544-E499-11D5-9FA9-00E04C54B3B6}", L"_Btns", false, 2},
    {L"{A8CB2542-E499-11D5-9FA9-00E04C54B3B6}", L"_Btn", false, 3},
};

inline constexpr ImportedLibraryText kImportedLibraries[] = {
    {L"ADODB 2.1", L"{00000201-0000-0010-8000-00AA006D2EA4}", 2, 1, 0, L"the data-access components (ADO)"},
    {L"VBA 6.0", L"{000204EF-0000-0000-C000-000000000046}", 6, 0, 9, L"the Visual Basic runtime"},
    {L"Pyx 1.0", L"{BD29F730-5BDA-11D1-9C2A-127658000000}", 1, 0, 0, L"the host program"},
};

}  // namespace vemo::table
