// Type information of the library's own interfaces, read from the type
// library embedded in the DLL, and of the outside interfaces it implements.
#pragma once
#include <windows.h>
#include <oaidl.h>

namespace vemo {

// Loads the embedded VemoFunction type library (not cached: each caller owns
// what it gets).
HRESULT LoadOwnTypeLib(ITypeLib** lib);
HRESULT LoadOwnTypeInfo(REFIID iid, ITypeInfo** info);
// Type information from the DLL's second type library resource, which
// declares the outside interfaces that the library's own objects implement
// (the keyed collection's _Collection).
HRESULT LoadCarriedTypeInfo(REFIID iid, ITypeInfo** info);
// Type information of an interface of a registered library.
HRESULT LoadRegisteredTypeInfo(REFGUID libid, WORD major, WORD minor, REFIID iid, ITypeInfo** info);

}  // namespace vemo
