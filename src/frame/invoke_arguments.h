// The arguments of a late-bound call, brought into the positional form that
// the type information's Invoke handles soundly.
//
// Wine's ITypeInfo::Invoke passes an omitted by-reference parameter that has
// a default as the default value itself rather than as a pointer to it, so
// the member would take 150 for an address; and it drops a named argument
// that names no parameter, running the member without it. So before Invoke,
// named arguments are put in their positions (a name that is no parameter is
// refused), omitted parameters become "missing" (VT_ERROR,
// DISP_E_PARAMNOTFOUND), and an omitted by-reference parameter with a
// default gets a reference to a private copy of its default.
//
// Arguments are converted to their parameters' types here too: when one
// conversion fails, Wine's Invoke loses the references that it took for
// the arguments converted before it (an object passed on to a by-reference
// object parameter stays alive for ever). So every argument of another type
// is converted here into a value this call owns (an object to its default
// value, as Invoke would), an object is asked for its parameter's
// interface, and a misfit is refused with DISP_E_TYPEMISMATCH before Invoke
// runs; as are too many arguments and a required one left out.
//
// A script variable (a VARIANT by reference) passed to a by-reference
// parameter of a fixed type is the caller's variable for the member to write
// to. One that holds the type is passed as a reference to its value. One
// that holds another type is converted into a copy; after a call that
// succeeded, a copy that the member changed goes into the variable (its old
// content cleared), so the caller sees what it would have seen had the
// variable held the type. A copy the member left as it was given (or gave
// an equal value) leaves the variable as it was, type included: read-only
// parameters never change their caller's variables.
#pragma once
#include <deque>
#include <oaidl.h>
#include <vector>

namespace vemo {

class DirectCalls;

// A by-reference parameter whose incoming value its member never reads, by
// the names of the type information: a Null there is no misfit, and the
// member starts from the parameter type's empty value. A class lists its
// own in a null-ended array (DispatchObject's kOutputParameters).
struct OutputParameter {
    const wchar_t* member;
    const wchar_t* parameter;
};

class InvokeArguments {
public:
    InvokeArguments() = default;
    InvokeArguments(const InvokeArguments&) = delete;
    InvokeArguments& operator=(const InvokeArguments&) = delete;
    ~InvokeArguments();

    // Sets *use to the parameters to pass on: the caller's own when nothing
    // needs changing. Fails with DISP_E_PARAMNOTFOUND (and *argErr set) for
    // a named argument that names no parameter or one given twice.
    HRESULT Prepare(ITypeInfo* vtable, const DirectCalls& calls, DISPID id, WORD flags, DISPPARAMS* caller,
                    DISPPARAMS** use, UINT* argErr);

    // After a call that succeeded: what the member wrote into the copies of
    // script variables goes into the variables. Fails only when a variable
    // cannot be cleared.
    HRESULT WriteBack() noexcept;

private:
    // A copy made for a script variable of another type.
    struct Copied {
        VARIANT* variable;    // the caller's
        VARIANT* value;       // what the member got a reference to
        const VARIANT* given; // the value as the member got it
    };

    VARIANT& Own();
    VARIANT& ReferenceTo(VARIANT& value, VARTYPE type);
    HRESULT Coerce(ITypeInfo* info, const ELEMDESC& param, bool outputOnly, const VARIANT*& slot);

    std::vector<VARIANTARG> args_;  // last to first, as Invoke wants them
    std::deque<VARIANT> owned_;     // addresses stay put as it grows
    std::vector<Copied> copied_;
    DISPPARAMS params_ = {};
};

// The common call needs none of that: no named argument, every argument of
// exactly its parameter's type (an object only for an IDispatch or VARIANT
// parameter), nothing omitted but optional by-value parameters. Such a call
// goes to the type information's Invoke as it came, without the function
// search and copies of Prepare. What each member accepts that way is worked
// out once for a class, when its type information is read (Load), and only
// read afterwards, so the objects of a class, in any thread, share it.
class DirectCalls {
public:
    // Reads every member of the interface once, with the class's output
    // parameters (null-ended); raises what fails, a named parameter that
    // the interface does not have too.
    void Load(ITypeInfo* vtable, const OutputParameter* outputs);

    // The flags to invoke with: DISPATCH_METHOD alone on a member that has
    // no method but a property get (`Count`, `Item`, `_NewEnum`, as older
    // script engines and some 4GL clients call them) reads the property, as
    // the VB runtime's objects do.
    WORD Served(DISPID id, WORD flags) const noexcept;

    // True when Prepare would pass the caller's parameters on unchanged and
    // this is known without it; false when unsure.
    bool Takes(DISPID id, WORD flags, const DISPPARAMS* caller) const noexcept;

    // Whether the parameter at a position (from 0) of the function a call
    // reaches is an output parameter.
    bool OutputOnly(DISPID id, WORD flags, UINT position) const noexcept;

private:
    struct Shape {
        DISPID id;
        WORD kind;                   // the function's INVOKE_* kind
        bool direct;                 // false: always through Prepare
        UINT fewest;                 // arguments that may come; the rest are optional by value
        std::vector<VARTYPE> types;  // per parameter, first first; VT_ILLEGAL: any
        std::vector<bool> outputs;   // per parameter: an output parameter
    };
    // The function a call with these INVOKE_* kinds reaches (the first that
    // meets one of them, as Invoke picks it), or null.
    const Shape* Find(DISPID id, WORD kinds) const noexcept;

    std::vector<Shape> shapes_;  // in the interface's order
};

}  // namespace vemo
