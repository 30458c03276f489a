// VemoFuns: form and toolbar helpers. The form and toolbar objects belong to
// the host's user interface; they are reached late-bound by member name.
#include "frame/late_bound.h"
#include "util/pixels.h"
#include "vemofuns/vemofuns.h"

namespace vemo {
namespace {

constexpr double kTwipsPerInch = 1440.0;

// The display's twips per pixel, horizontally and vertically, unrounded
// (15 at 96 dots per inch). 0 when the display reports no resolution.
struct DisplayMetrics {
    double twipsPerPixelX = 0;
    double twipsPerPixelY = 0;
    int widthPixels = 0;
    int heightPixels = 0;
};

DisplayMetrics ReadDisplay() {
    DisplayMetrics m;
    if (HDC dc = GetDC(nullptr)) {
        int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
        int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        if (dpiX > 0) m.twipsPerPixelX = kTwipsPerInch / dpiX;
        if (dpiY > 0) m.twipsPerPixelY = kTwipsPerInch / dpiY;
    }
    m.widthPixels = GetSystemMetrics(SM_CXSCREEN);
    m.heightPixels = GetSystemMetrics(SM_CYSCREEN);
    return m;
}

// Twips to pixels at a whole-number ratio; a zero ratio is a division by zero.
int32_t ToPixels(LONG twips, int32_t twipsPerPixel) { return Take(TwipsToPixels(twips, twipsPerPixel)); }

LONG OrDefault(const LONG* value, LONG fallback) { return value ? *value : fallback; }

}  // namespace

STDMETHODIMP VemoFuns::SetWindowOnTop(IDispatch* frmName, VARIANT_BOOL bOnTop, LONG* x, LONG* Y, LONG* cx,
                                      LONG* cy) {
    return Member([&] {
        DisplayMetrics display = ReadDisplay();
        int32_t tx = RoundHalfEven(display.twipsPerPixelX);
        int32_t ty = RoundHalfEven(display.twipsPerPixelY);
        // Everything is read and converted before the window is touched, so a
        // missing member or a zero ratio leaves the window as it was.
        LONG handle = ToLong(*Get(frmName, L"hwnd").Get());
        int32_t left = ToPixels(OrDefault(x, 150), tx);
        int32_t top = ToPixels(OrDefault(Y, 1500), ty);
        int32_t width = ToPixels(OrDefault(cx, 3000), tx);
        int32_t height = ToPixels(OrDefault(cy, 6000), ty);
        HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
        // The window is always moved, sized and shown; its result is not reported.
        SetWindowPos(window, bOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, left, top, width, height, SWP_SHOWWINDOW);
    });
}

STDMETHODIMP VemoFuns::CenterForm(IDispatch** frmName) {
    return Member([&] {
        IDispatch* form = frmName ? *frmName : nullptr;
        if (!form) RaiseNumber(kErrObjectNotSet);
        DisplayMetrics display = ReadDisplay();
        double screenWidth = display.widthPixels * display.twipsPerPixelX;
        double screenHeight = display.heightPixels * display.twipsPerPixelY;
        double width = ToDouble(*Get(form, L"Width").Get());
        double height = ToDouble(*Get(form, L"Height").Get());
        Call(form, L"Move", {Arg::Double(CenterOffset(screenWidth, width)), Arg::Double(CenterOffset(screenHeight, height))});
    });
}

STDMETHODIMP VemoFuns::SetToolBarLable(IDispatch** tlBar, VARIANT_BOOL bShowLable) {
    // Every step runs whatever the steps before it did; nothing is raised.
    return Member([&] {
        IDispatch* toolbar = tlBar ? *tlBar : nullptr;
        bool wasVisible = false;  // what an unreadable Visible leaves
        Trapped([&] { wasVisible = ToBool(*Get(toolbar, L"Visible").Get()); });
        Trapped([&] { Put(toolbar, L"Visible", Arg::Bool(false)); });
        Trapped([&] {
            Variant buttons = Get(toolbar, L"Buttons");
            ComPtr<IEnumVARIANT> items = NewEnum(AsObject(*buttons.Get()).Get());
            for (;;) {
                Variant item;
                ULONG fetched = 0;
                if (items->Next(1, item.Get(), &fetched) != S_OK || fetched != 1) break;
                Trapped([&] {
                    ComPtr<IDispatch> button = AsObject(*item.Get());
                    if (bShowLable) {
                        Variant description = Get(button.Get(), L"Description");
                        Put(button.Get(), L"Caption", Arg::Value(*description.Get()));
                    } else {
                        Bstr empty(L"");
                        Put(button.Get(), L"Caption", Arg::Text(empty.Get()));
                    }
                });
            }
        });
        Trapped([&] { Put(toolbar, L"Visible", Arg::Bool(wasVisible)); });
    });
}

}  // namespace vemo
