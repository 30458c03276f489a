// Between live dictionaries and the stored document form.
#pragma once
#include "dictionary.h"
#include "document.h"

namespace testhost {

// Reads a dictionary, through its interface, into the document form.
// Raises a type mismatch for a value that a document cannot keep.
void Capture(IPyxDictionary* dict, Node& out, int depth = 0);
// A new Dictionary object holding the entries of `node` (nested ones too).
vemo::ComPtr<IPyxDictionary> Build(const Node& node);

}  // namespace testhost
