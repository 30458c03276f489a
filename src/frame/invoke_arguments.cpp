#include "frame/invoke_arguments.h"
#include "frame/auto_values.h"
#include "frame/com_ptr.h"
#include "frame/errors.h"
#include "frame/typeinfo.h"

#include <cstring>
#include <oleauto.h>

namespace vemo {
namespace {

// The function a call reaches: its DISPID and a kind that the flags allow.
// Empty when there is none.
FuncDesc FindFunction(ITypeInfo* info, DISPID id, WORD flags) {
    TypeAttr attr;
    if (FAILED(info->GetTypeAttr(attr.Out(info)))) return {};
    const WORD count = attr->cFuncs;
    FuncDesc f;
    for (UINT i = 0; i < count; ++i)
        if (SUCCEEDED(info->GetFuncDesc(i, f.Out(info))) && f->memid == id && (f->invkind & flags)) return f;
    return {};
}

// A by-reference parameter of a plain type (not an object) with a default.
bool IsDefaultedReference(const ELEMDESC& e) {
    if (!(e.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) || !e.paramdesc.pparamdescex) return false;
    if (e.tdesc.vt != VT_PTR || !e.tdesc.lptdesc) return false;
    VARTYPE inner = e.tdesc.lptdesc->vt;
    return inner != VT_PTR && inner != VT_USERDEFINED && inner != VT_SAFEARRAY && inner != VT_CARRAY;
}

// What a parameter takes, once by-reference is looked through.
struct ParamKind {
    enum { Variant, Dispatch, Interface, Scalar } kind;
    VARTYPE scalar;   // for Scalar
    GUID iid;         // for Interface
    bool byRef;
};

ParamKind KindOf(ITypeInfo* info, const TYPEDESC& declared) {
    const TYPEDESC* t = &declared;
    bool byRef = false;
    if (t->vt == VT_PTR && t->lptdesc) {
        // One level is the reference; a second is an interface pointer.
        if (t->lptdesc->vt != VT_USERDEFINED || !t->lptdesc) byRef = true;
        t = t->lptdesc;
        if (byRef && t->vt == VT_PTR && t->lptdesc) t = t->lptdesc;
    }
    if (t->vt == VT_VARIANT) return {ParamKind::Variant, VT_VARIANT, {}, byRef};
    if (t->vt == VT_DISPATCH) return {ParamKind::Dispatch, VT_DISPATCH, {}, byRef};
    if (t->vt == VT_UNKNOWN) return {ParamKind::Variant, VT_UNKNOWN, {}, byRef};
    if (t->vt == VT_USERDEFINED) {
        ComPtr<ITypeInfo> ref;
        ParamKind k = {ParamKind::Scalar, VT_I4, {}, byRef};  // enumerations travel as 32-bit integers
        TypeAttr a;
        if (SUCCEEDED(info->GetRefTypeInfo(t->hreftype, ref.Out())) &&
            SUCCEEDED(ref->GetTypeAttr(a.Out(ref.Get())))) {
            if (a->typekind == TKIND_INTERFACE || a->typekind == TKIND_DISPATCH || a->typekind == TKIND_COCLASS) {
                k.kind = ParamKind::Interface;
                k.iid = a->guid;
            } else if (a->typekind == TKIND_ALIAS) {
                k.scalar = a->tdescAlias.vt;
            }
        }
        return k;
    }
    if (t->vt == VT_SAFEARRAY || t->vt == VT_CARRAY) return {ParamKind::Variant, t->vt, {}, byRef};
    return {ParamKind::Scalar, t->vt, {}, byRef};
}

// Whether a member left a value as it got it: a text by its characters (a
// null text is the empty one), an object by its address, any other value by
// the bytes of its type.
bool SameValue(const VARIANT& a, const VARIANT& b) {
    if (V_VT(&a) != V_VT(&b)) return false;
    switch (V_VT(&a)) {
    case VT_BSTR: return View(V_BSTR(&a)) == View(V_BSTR(&b));
    case VT_DISPATCH:
    case VT_UNKNOWN: return V_UNKNOWN(&a) == V_UNKNOWN(&b);
    case VT_DECIMAL: return std::memcmp(&V_DECIMAL(&a), &V_DECIMAL(&b), sizeof(DECIMAL)) == 0;
    case VT_I1:
    case VT_UI1: return V_UI1(&a) == V_UI1(&b);
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: return V_UI2(&a) == V_UI2(&b);
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR: return V_UI4(&a) == V_UI4(&b);
    default: return V_UI8(&a) == V_UI8(&b);  // 8-byte values: R8, CY, DATE, I8, UI8
    }
}

}  // namespace

InvokeArguments::~InvokeArguments() {
    for (VARIANT& v : owned_) VariantClear(&v);
}

VARIANT& InvokeArguments::Own() {
    VARIANT& v = owned_.emplace_back();
    VariantInit(&v);
    return v;
}

VARIANT& InvokeArguments::ReferenceTo(VARIANT& value, VARTYPE type) {
    VARIANT& r = Own();
    r = raw::Reference(value, type);
    return r;
}

HRESULT InvokeArguments::Coerce(ITypeInfo* info, const ELEMDESC& param, bool outputOnly, const VARIANT*& slot) {
    if (IsMissing(slot)) return S_OK;
    ParamKind kind = KindOf(info, param.tdesc);
    VARTYPE given = V_VT(slot);
    if (kind.kind == ParamKind::Variant) {
        // A value for a VARIANT* parameter goes as a reference to a copy of
        // this call's own (Wine's Invoke corrupts its heap with a value).
        if (!kind.byRef || kind.scalar != VT_VARIANT || given == (VT_BYREF | VT_VARIANT)) return S_OK;
        VARIANT& copy = Own();
        if (FAILED(VariantCopyInd(&copy, const_cast<VARIANT*>(slot)))) return DISP_E_TYPEMISMATCH;
        slot = &ReferenceTo(copy, VT_VARIANT);
        return S_OK;
    }
    IUnknown* object = CarriedObject(slot);
    VARTYPE type = kind.kind == ParamKind::Scalar ? kind.scalar
                   : kind.kind == ParamKind::Dispatch ? VT_DISPATCH : VT_UNKNOWN;
    // A script variable (a VARIANT by reference) that holds the parameter's
    // type is passed as a reference to its value, so what the member writes
    // reaches the caller's variable.
    VARIANT* inner = given == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(slot) : nullptr;
    if (kind.byRef && kind.kind == ParamKind::Scalar && inner && V_VT(inner) == type) {
        slot = &ReferenceTo(*inner, type);
        return S_OK;
    }
    bool interfaceGiven = kind.kind == ParamKind::Interface &&
                          (given == VT_DISPATCH || given == (VT_BYREF | VT_DISPATCH) || given == VT_UNKNOWN ||
                           given == (VT_BYREF | VT_UNKNOWN));
    if ((kind.byRef && given == (VT_BYREF | type)) || interfaceGiven) {
        // An interface parameter is only checked here: Invoke asks again.
        if (kind.kind == ParamKind::Interface && object) {
            IUnknown* p = nullptr;
            if (FAILED(object->QueryInterface(kind.iid, reinterpret_cast<void**>(&p)))) return DISP_E_TYPEMISMATCH;
            p->Release();
        }
        return S_OK;
    }
    if (given == type && !kind.byRef) return S_OK;
    // Converted here, as Invoke would (an object stands for its default
    // value), into a value that this call owns; a by-reference parameter
    // gets a reference to it, so Invoke converts nothing. An output
    // parameter given a Null starts from the type's empty value.
    VARIANT& v = Own();
    VARIANT empty = raw::Of(VT_EMPTY);
    const VARIANT* from = outputOnly && V_VT(Deref(slot)) == VT_NULL ? &empty : slot;
    if (FAILED(VariantChangeTypeEx(&v, const_cast<VARIANT*>(from), LOCALE_USER_DEFAULT, 0, type)))
        return DISP_E_TYPEMISMATCH;
    if (kind.kind == ParamKind::Interface && V_UNKNOWN(&v)) {
        IUnknown* p = nullptr;
        if (FAILED(V_UNKNOWN(&v)->QueryInterface(kind.iid, reinterpret_cast<void**>(&p)))) return DISP_E_TYPEMISMATCH;
        p->Release();
    }
    if (!kind.byRef || kind.kind == ParamKind::Interface) {
        slot = &v;
        return S_OK;
    }
    if (inner) {
        // The caller's variable gets what the member writes (WriteBack).
        VARIANT& given = Own();
        Check(VariantCopy(&given, &v));
        copied_.push_back({inner, &v, &given});
    }
    slot = &ReferenceTo(v, type);
    return S_OK;
}

HRESULT InvokeArguments::Prepare(ITypeInfo* vtable, const DirectCalls& calls, DISPID id, WORD flags,
                                 DISPPARAMS* caller, DISPPARAMS** use, UINT* argErr) {
    *use = caller;
    if (caller->cArgs < caller->cNamedArgs || (caller->cArgs && !caller->rgvarg) ||
        (caller->cNamedArgs && !caller->rgdispidNamedArgs))
        return E_INVALIDARG;
    // The function Invoke will pick: the first whose kind meets the flags.
    const FuncDesc f = FindFunction(vtable, id, flags);
    if (!f) return S_OK;  // Invoke itself reports an unknown member
    bool put = (f->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) != 0;

    UINT visible = static_cast<UINT>(f->cParams);
    if (visible && (f->lprgelemdescParam[visible - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) --visible;
    UINT positional = caller->cArgs - caller->cNamedArgs;
    // Refused here: Wine's Invoke would convert the surplus arguments first.
    if (positional > visible && f->cParamsOpt != -1) return DISP_E_BADPARAMCOUNT;

    // Which argument each parameter gets; and where it sits in the caller's array.
    std::vector<const VARIANT*> slot(visible, nullptr);
    std::vector<UINT> from(visible, 0);
    for (UINT k = 0; k < positional; ++k) {
        slot[k] = &caller->rgvarg[caller->cArgs - 1 - k];
        from[k] = caller->cArgs - 1 - k;
    }
    for (UINT j = 0; j < caller->cNamedArgs; ++j) {
        DISPID d = caller->rgdispidNamedArgs[j];
        // A put's value is its last parameter.
        if (put && d == DISPID_PROPERTYPUT && visible) d = static_cast<DISPID>(visible - 1);
        if (d < 0 || static_cast<UINT>(d) >= visible || slot[d]) {
            if (put) return S_OK;  // Invoke judges the forms of a put
            if (argErr) *argErr = j;
            return DISP_E_PARAMNOTFOUND;
        }
        slot[d] = &caller->rgvarg[j];
        from[d] = j;
    }

    bool change = false;
    for (UINT k = 0; k < visible; ++k) {
        const VARIANT* before = slot[k];
        if (FAILED(Coerce(vtable, f->lprgelemdescParam[k], calls.OutputOnly(id, flags, k), slot[k]))) {
            if (argErr) *argErr = from[k];
            return DISP_E_TYPEMISMATCH;
        }
        change |= slot[k] != before;
    }

    if (put) {
        if (!change) return S_OK;
        // The same layout as the caller's, with the coerced values.
        args_.assign(caller->rgvarg, caller->rgvarg + caller->cArgs);
        for (UINT k = 0; k < visible; ++k)
            if (slot[k]) args_[from[k]] = *slot[k];
        params_ = {args_.data(), caller->rgdispidNamedArgs, caller->cArgs, caller->cNamedArgs};
        *use = &params_;
        return S_OK;
    }

    change |= caller->cNamedArgs > 0;
    for (UINT k = 0; k < visible; ++k) {
        if (!IsMissing(slot[k])) continue;
        USHORT pf = f->lprgelemdescParam[k].paramdesc.wParamFlags;
        // A required parameter left out is refused here, before Invoke has
        // converted (and, under Wine, lost) the arguments that came.
        if (!(pf & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT))) {
            if (slot[k]) {
                if (argErr) *argErr = from[k];
                return DISP_E_PARAMNOTOPTIONAL;
            }
            return DISP_E_BADPARAMCOUNT;
        }
        if (IsDefaultedReference(f->lprgelemdescParam[k])) change = true;
    }
    if (!change) return S_OK;

    // The positions up to the last one given or defaulted here.
    UINT length = 0;
    for (UINT k = 0; k < visible; ++k)
        if (!IsMissing(slot[k]) || IsDefaultedReference(f->lprgelemdescParam[k])) length = k + 1;
    std::vector<VARIANTARG> ordered(length);
    for (UINT k = 0; k < length; ++k) {
        VARIANTARG& a = ordered[k];
        const ELEMDESC& e = f->lprgelemdescParam[k];
        if (!IsMissing(slot[k])) {
            a = *slot[k];  // the caller's value (or ours); kept alive through the call
        } else if (IsDefaultedReference(e)) {
            VARTYPE inner = e.tdesc.lptdesc->vt;
            VARIANT& store = Own();
            HRESULT conv = inner == VT_VARIANT
                               ? VariantCopy(&store, &e.paramdesc.pparamdescex->varDefaultValue)
                               : VariantChangeType(&store, &e.paramdesc.pparamdescex->varDefaultValue, 0, inner);
            if (FAILED(conv)) return conv;
            a = raw::Reference(store, inner);
        } else {
            a = raw::Missing();
        }
    }
    args_.assign(ordered.rbegin(), ordered.rend());
    params_ = {args_.empty() ? nullptr : args_.data(), nullptr, length, 0};
    *use = &params_;
    return S_OK;
}

HRESULT InvokeArguments::WriteBack() noexcept {
    HRESULT outcome = S_OK;
    for (const Copied& c : copied_) {
        if (SameValue(*c.given, *c.value)) continue;
        // Cleared as an assignment clears a variable; the copy's value moves.
        const HRESULT cleared = VariantClear(c.variable);
        if (FAILED(cleared)) {
            if (SUCCEEDED(outcome)) outcome = cleared;
            continue;
        }
        *c.variable = *c.value;
        VariantInit(c.value);
    }
    return outcome;
}

void DirectCalls::Load(ITypeInfo* vtable, const OutputParameter* outputs) {
    TypeAttr attr;
    Check(vtable->GetTypeAttr(attr.Out(vtable)));
    std::vector<Shape> shapes;
    shapes.reserve(attr->cFuncs);
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FuncDesc f;
        Check(vtable->GetFuncDesc(i, f.Out(vtable)));
        Shape shape{f->memid, static_cast<WORD>(f->invkind), true, 0, {}};
        UINT visible = static_cast<UINT>(f->cParams);
        if (visible && (f->lprgelemdescParam[visible - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) --visible;
        if ((f->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) || f->cParamsOpt == -1) shape.direct = false;
        for (UINT k = 0; k < visible && shape.direct; ++k) {
            const ELEMDESC& e = f->lprgelemdescParam[k];
            const ParamKind kind = KindOf(vtable, e.tdesc);
            VARTYPE type = VT_ILLEGAL;
            switch (kind.kind) {
            case ParamKind::Variant:
                // Coerce changes only a value for a VARIANT* parameter.
                if (kind.byRef && kind.scalar == VT_VARIANT) type = VT_BYREF | VT_VARIANT;
                break;
            case ParamKind::Dispatch:
            case ParamKind::Scalar: type = kind.byRef ? VT_BYREF | kind.scalar : kind.scalar; break;
            case ParamKind::Interface: shape.direct = false; break;  // asked for its interface first
            }
            shape.types.push_back(type);
            const bool omittable = (e.paramdesc.wParamFlags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) &&
                                   !IsDefaultedReference(e);
            if (!omittable) shape.fewest = k + 1;
        }
        shape.outputs.assign(visible, false);
        shapes.push_back(std::move(shape));
    }
    // The output parameters, found by name; one that is not there is a fault
    // of the class.
    for (const OutputParameter* o = outputs; o && o->member; ++o) {
        bool found = false;
        for (Shape& shape : shapes) {
            std::vector<BSTR> given(shape.outputs.size() + 1, nullptr);
            UINT count = 0;
            if (FAILED(vtable->GetNames(shape.id, given.data(), static_cast<UINT>(given.size()), &count))) continue;
            std::vector<Bstr> names;
            names.reserve(count);
            for (UINT n = 0; n < count; ++n) names.push_back(Bstr::Attach(given[n]));
            if (names.empty() || WideText(names[0].Get()) != o->member) continue;
            for (UINT n = 1; n < count; ++n) {
                if (WideText(names[n].Get()) != o->parameter) continue;
                shape.outputs[n - 1] = true;
                found = true;
            }
        }
        if (!found) Check(TYPE_E_ELEMENTNOTFOUND);
    }
    shapes_ = std::move(shapes);
}

const DirectCalls::Shape* DirectCalls::Find(DISPID id, WORD kinds) const noexcept {
    for (const Shape& shape : shapes_)
        if (shape.id == id && (shape.kind & kinds)) return &shape;
    return nullptr;
}

WORD DirectCalls::Served(DISPID id, WORD flags) const noexcept {
    if (flags != DISPATCH_METHOD || Find(id, INVOKE_FUNC) || !Find(id, INVOKE_PROPERTYGET)) return flags;
    return DISPATCH_METHOD | DISPATCH_PROPERTYGET;
}

bool DirectCalls::OutputOnly(DISPID id, WORD flags, UINT position) const noexcept {
    const Shape* shape =
        Find(id, flags & (INVOKE_FUNC | INVOKE_PROPERTYGET | INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF));
    return shape && position < shape->outputs.size() && shape->outputs[position];
}

bool DirectCalls::Takes(DISPID id, WORD flags, const DISPPARAMS* caller) const noexcept {
    if (!caller || caller->cNamedArgs || (caller->cArgs && !caller->rgvarg)) return false;
    const Shape* shape =
        Find(id, flags & (INVOKE_FUNC | INVOKE_PROPERTYGET | INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF));
    if (!shape || !shape->direct) return false;
    const UINT count = caller->cArgs;
    if (count < shape->fewest || count > shape->types.size()) return false;
    for (UINT k = 0; k < count; ++k) {
        const VARIANT& arg = caller->rgvarg[count - 1 - k];
        if (IsMissing(&arg)) return false;
        if (shape->types[k] != VT_ILLEGAL && V_VT(&arg) != shape->types[k]) return false;
    }
    return true;
}

}  // namespace vemo
