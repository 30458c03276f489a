// SetWindowOnTop on a real window (the suite runs under a private X display)
// and CenterForm against a scripted form object.
#include "com_test_support.h"
#include "fake_dispatch.h"
#include "VemoFunction_h.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class FormsTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        funs_ = Make<_VemoFuns>(CLSID_VemoFuns, IID__VemoFuns);
        ASSERT_TRUE(funs_);
        // The expected pixels and twips below are worked out for the suite's
        // display: 96 dpi, 15 twips a pixel (1440 / 96), 1280 by 1024 pixels.
        HDC dc = GetDC(nullptr);
        const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        ASSERT_EQ(dpiX, 96);
        ASSERT_EQ(dpiY, 96);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }
    // A real top-level window, as a form of the host would own.
    HWND MakeWindow() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VemoFormsTestWindow";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"form", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        return window_;
    }
    // Left, top, width and height of the window in pixels.
    std::vector<LONG> Placement() const {
        RECT r;
        GetWindowRect(window_, &r);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    bool Topmost() const { return (GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    ComPtr<_VemoFuns> funs_;
    HWND window_ = nullptr;
};

TEST_F(FormsTest, SetWindowOnTopPlacesPinsAndReleasesARealWindow) {
    HWND w = MakeWindow();
    ASSERT_NE(w, nullptr) << "no display for the window tests";
    FakeObject form;
    form.Property(L"hwnd", static_cast<double>(reinterpret_cast<LONG_PTR>(w)), VT_I4);

    LONG x = 150, y = 1500, cx = 3000, cy = 6000;
    ASSERT_HRESULT_SUCCEEDED(funs_->SetWindowOnTop(&form, VARIANT_TRUE, &x, &y, &cx, &cy));
    EXPECT_EQ(Placement(), (std::vector<LONG>{10, 100, 200, 400}));  // twips / 15
    EXPECT_TRUE(Topmost());
    EXPECT_TRUE(IsWindowVisible(w));
    // The by-reference values are never written.
    EXPECT_EQ(x, 150);
    EXPECT_EQ(cy, 6000);

    // Released from the top, the window is still moved and sized; twips
    // that are no whole number of pixels go to the nearest: 307 / 15 is
    // 20.47, 608 / 15 is 40.53.
    x = 307, y = 608, cx = 4500, cy = 2250;
    ASSERT_HRESULT_SUCCEEDED(funs_->SetWindowOnTop(&form, VARIANT_FALSE, &x, &y, &cx, &cy));
    EXPECT_FALSE(Topmost());
    EXPECT_EQ(Placement(), (std::vector<LONG>{20, 41, 300, 150}));
    EXPECT_EQ(form.References(), 1);
}

TEST_F(FormsTest, SetWindowOnTopLateBoundUsesTheDefaultRectangle) {
    HWND w = MakeWindow();
    ASSERT_NE(w, nullptr);
    FakeObject form;
    form.Property(L"hwnd", static_cast<double>(reinterpret_cast<LONG_PTR>(w)), VT_I4);
    ComPtr<IDispatch> d;
    ASSERT_HRESULT_SUCCEEDED(funs_->QueryInterface(IID_IDispatch, d.OutVoid()));
    LPOLESTR name = const_cast<LPOLESTR>(L"SetWindowOnTop");
    DISPID id = 0;
    ASSERT_HRESULT_SUCCEEDED(d->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
    VARIANT args[2] = {Bool(true), Object(&form)};  // last to first: bOnTop, frmName
    DISPPARAMS p = {args, nullptr, 2, 0};
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &p, nullptr, nullptr, nullptr));
    // The defaults 150, 1500, 3000 and 6000 twips.
    EXPECT_EQ(Placement(), (std::vector<LONG>{10, 100, 200, 400}));
    EXPECT_TRUE(Topmost());

    // A missing argument in the middle and a named one at the end.
    // Named cy first, then positional last to first.
    VARIANT all[5] = {Long(2250), Missing(), Long(300), args[0], args[1]};
    DISPID cyId = 5;
    DISPPARAMS named = {all, &cyId, 5, 1};
    ASSERT_HRESULT_SUCCEEDED(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &named, nullptr, nullptr, nullptr));
    // x 300, y and cx their defaults 1500 and 3000, cy 2250 twips.
    EXPECT_EQ(Placement(), (std::vector<LONG>{20, 100, 200, 150}));

    // A name that is no parameter, or one given twice, is refused.
    DISPID wrong = 9;
    UINT argErr = 99;
    DISPPARAMS badName = {all, &wrong, 5, 1};
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &badName, nullptr, nullptr, &argErr), DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(argErr, 0u);
    DISPID twice = 1;  // bOnTop, also given by position
    DISPPARAMS dup = {all, &twice, 5, 1};
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &dup, nullptr, nullptr, nullptr), DISP_E_PARAMNOTFOUND);
}

TEST_F(FormsTest, SetWindowOnTopRaisesAndLeavesTheWindowWhenAMemberIsMissing) {
    HWND w = MakeWindow();
    ASSERT_NE(w, nullptr);
    RECT before, after;
    GetWindowRect(w, &before);
    FakeObject noHandle;
    LONG x = 150, y = 1500, cx = 3000, cy = 6000;
    EXPECT_EQ(funs_->SetWindowOnTop(&noHandle, VARIANT_TRUE, &x, &y, &cx, &cy), DISP_E_UNKNOWNNAME);
    EXPECT_NE(ErrorDescription().find(L"hwnd"), std::wstring::npos);
    GetWindowRect(w, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_FALSE(Topmost());
    EXPECT_EQ(funs_->SetWindowOnTop(nullptr, VARIANT_TRUE, &x, &y, &cx, &cy), HRESULT(0x800A005B));
}

TEST_F(FormsTest, CenterFormMovesByUnroundedHalfDifferences) {
    // The screen is 19200 by 15360 twips (1280 and 1024 pixels of 15 twips):
    // a form moves to half of what the screen has more than the form.
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    struct Case {
        double width, height, left, top;
    } cases[] = {{3001, 2000, 8099.5, 6680}, {19200, 15360, 0, 0}, {20200, 18360, -500, -1500}};
    for (const Case& c : cases) {
        FakeObject form;
        form.Property(L"Width", c.width);
        form.Property(L"Height", c.height);
        form.On(L"Move", [](WORD, const std::vector<VARIANT>&, VARIANT*) { return S_OK; });
        IDispatch* p = &form;
        ASSERT_HRESULT_SUCCEEDED(funs_->CenterForm(&p));
        ASSERT_EQ(form.CountOf(L"Move"), 1u);
        const FakeObject::Call& move = form.Calls().back();
        ASSERT_EQ(move.args.size(), 2u);
        ASSERT_EQ(V_VT(&move.args[0]), VT_R8);
        ASSERT_EQ(V_VT(&move.args[1]), VT_R8);
        EXPECT_EQ(V_R8(&move.args[0]), c.left);
        EXPECT_EQ(V_R8(&move.args[1]), c.top);
        EXPECT_EQ(p, &form);
    }
}

TEST_F(FormsTest, CenterFormRaisesWithoutMovingWhenASizeIsMissing) {
    FakeObject form;
    form.Property(L"Width", 3000);
    form.On(L"Move", [](WORD, const std::vector<VARIANT>&, VARIANT*) { return S_OK; });
    IDispatch* p = &form;
    EXPECT_EQ(funs_->CenterForm(&p), DISP_E_UNKNOWNNAME);
    EXPECT_NE(ErrorDescription().find(L"Height"), std::wstring::npos);
    EXPECT_EQ(form.CountOf(L"Move"), 0u);
    // The form's own failure reaches the caller unchanged.
    FakeObject failing;
    failing.Property(L"Width", 3000);
    failing.Property(L"Height", 3000);
    failing.On(L"Move", [](WORD, const std::vector<VARIANT>&, VARIANT*) { return E_ACCESSDENIED; });
    p = &failing;
    EXPECT_EQ(funs_->CenterForm(&p), E_ACCESSDENIED);
    p = nullptr;
    EXPECT_EQ(funs_->CenterForm(&p), HRESULT(0x800A005B));
}

}  // namespace
