// The host login property reader, linked into the test itself (it is not
// part of the type library), against the test host's Trellis.ShareProps.
#include "frame/errors.h"
#include "frame/late_bound.h"
#include "login_properties/mmts.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace vemo;

class MmtsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
        if (GetEnvironmentVariableW(L"HOSTTEST_NO_SHAREPROPS", nullptr, 0)) return;
        // Our own instance keeps the component loaded, so its counters persist.
        ASSERT_TRUE(Guarded([&] { props_ = CreateObject(L"Trellis.ShareProps"); }) == S_OK);
    }
    void TearDown() override {
        if (props_) Set(L"PropsString", nullptr);
        props_.Reset();
        CoUninitialize();
    }
    // Sets this process's property (no value: forgets it).
    void Set(const wchar_t* name, const VARIANT* value, LONG pid = static_cast<LONG>(GetCurrentProcessId())) {
        Bstr n(name);
        HRESULT hr = Guarded([&] {
            if (value) Call(props_.Get(), L"SetProperty", {Arg::Long(pid), Arg::Text(n.Get()), Arg::Value(*value)});
            else Call(props_.Get(), L"SetProperty", {Arg::Long(pid), Arg::Text(n.Get())});
        });
        ASSERT_EQ(hr, S_OK);
    }
    void SetText(const wchar_t* text, LONG pid = static_cast<LONG>(GetCurrentProcessId())) {
        Bstr t(text);
        VARIANT v = raw::Text(t.Get());
        Set(L"PropsString", &v, pid);
    }
    LONG Counter(const wchar_t* name) { return V_I4(ChangeType(*Get(props_.Get(), name).Get(), VT_I4).Get()); }
    std::wstring Text(const wchar_t* name) {
        return WideText(ToText(*Get(props_.Get(), name).Get()).Get());
    }
    static std::wstring PropsString(HRESULT* hr = nullptr) {
        std::wstring result;
        HRESULT r = Guarded([&] {
            Bstr b = MMTS::GetPropsString();
            result.assign(b.Get() ? b.Get() : L"", SysStringLen(b.Get()));
        });
        if (hr) *hr = r;
        else EXPECT_EQ(r, S_OK);
        return result;
    }

    ComPtr<IDispatch> props_;
};

TEST_F(MmtsTest, PropsStringConvertsTheValue) {
    if (!props_) GTEST_SKIP() << "component unregistered here";
    VARIANT v;
    VariantInit(&v);
    Set(L"PropsString", &v);  // an explicit Empty
    EXPECT_EQ(PropsString(), L"");

    SetText(L"Driver={SQLite3};Database=/tmp/x.db");
    EXPECT_EQ(PropsString(), L"Driver={SQLite3};Database=/tmp/x.db");

    v = raw::Long(42);
    Set(L"PropsString", &v);
    EXPECT_EQ(PropsString(), L"42");
}

TEST_F(MmtsTest, ObjectPropertyGivesItsDefaultText) {
    if (!props_) GTEST_SKIP() << "component unregistered here";
    ComPtr<IDispatch> text = CreateObject(L"TestHost.TextValue");
    Bstr content(L"Provider=MSDASQL;DSN=erp");
    Put(text.Get(), L"Value", Arg::Text(content.Get()));
    VARIANT v = raw::Object(text.Get());
    Set(L"PropsString", &v);
    Variant raw;
    ASSERT_EQ(Guarded([&] { raw = MMTS::GetShareProperty(L"PropsString"); }), S_OK);
    EXPECT_EQ(raw.Type(), VT_DISPATCH) << "an object property stays an object";
    EXPECT_EQ(PropsString(), L"Provider=MSDASQL;DSN=erp");
}

TEST_F(MmtsTest, NullRaisesTheCoercionError) {
    if (!props_) GTEST_SKIP() << "component unregistered here";
    VARIANT v = raw::Of(VT_NULL);
    Set(L"PropsString", &v);
    HRESULT hr = S_OK;
    PropsString(&hr);
    EXPECT_EQ(hr, ControlError(kErrTypeMismatch));
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Out()), S_OK);
    Bstr text;
    info->GetDescription(text.Out());
    EXPECT_GT(SysStringLen(text.Get()), 0u) << "the error carries a description";
}

TEST_F(MmtsTest, EachReadOwnsOneInstanceAndAsksTwiceByReference) {
    if (!props_) GTEST_SKIP() << "component unregistered here";
    SetText(L"mine");
    SetText(L"someone else's", static_cast<LONG>(GetCurrentProcessId()) + 4);
    for (int round = 0; round < 2; ++round) {
        const LONG created = Counter(L"InstancesCreated");
        const LONG live = Counter(L"LiveInstances");
        const LONG calls = Counter(L"GetPropertyCalls");
        EXPECT_EQ(PropsString(), L"mine") << "the value of this process, not another one's";
        EXPECT_EQ(Counter(L"InstancesCreated"), created + 1) << "a new instance for every read";
        EXPECT_EQ(Counter(L"LiveInstances"), live) << "and released before returning";
        EXPECT_EQ(Counter(L"GetPropertyCalls"), calls + 2) << "the property is read twice";
        // VT_BYREF|VT_I4 process id first, VT_BYREF|VT_BSTR name second.
        EXPECT_EQ(Text(L"LastArgumentTypes"), L"16387,16392");
    }
    Set(L"PropsString", nullptr, static_cast<LONG>(GetCurrentProcessId()) + 4);
}

TEST_F(MmtsTest, AnErrorOfGetPropertyReachesTheCallerUnchanged) {
    if (!props_) GTEST_SKIP() << "component unregistered here";
    SetText(L"mine");
    const HRESULT failure = static_cast<HRESULT>(0x80042345u);
    // The first read (is it an object?) and the second (the value) fail alike.
    for (LONG call : {1, 2}) {
        Bstr text(call == 1 ? L"the first read failed" : L"the second read failed");
        ASSERT_EQ(Guarded([&] {
            Call(props_.Get(), L"FailGetProperty", {Arg::Long(call), Arg::Long(failure), Arg::Text(text.Get())});
        }), S_OK);
        const LONG live = Counter(L"LiveInstances");
        HRESULT hr = S_OK;
        PropsString(&hr);
        EXPECT_EQ(hr, failure) << "call " << call;
        ComPtr<IErrorInfo> info;
        ASSERT_EQ(GetErrorInfo(0, info.Out()), S_OK);
        Bstr description, source;
        info->GetDescription(description.Out());
        info->GetSource(source.Out());
        EXPECT_EQ(WideText(description.Get()), WideText(text.Get())) << "call " << call;
        EXPECT_EQ(WideText(source.Get()), L"Trellis.ShareProps") << "call " << call;
        EXPECT_EQ(Counter(L"LiveInstances"), live) << "the instance is released after the failure too";
        EXPECT_EQ(PropsString(), L"mine") << "the failure came once";
    }
}

TEST_F(MmtsTest, UnregisteredComponentRaisesTheCreationError) {
    if (props_) GTEST_SKIP() << "runs where Trellis.ShareProps is not registered";
    HRESULT hr = S_OK;
    PropsString(&hr);
    EXPECT_TRUE(FAILED(hr));
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Out()), S_OK);
    Bstr text;
    info->GetDescription(text.Out());
    EXPECT_NE(std::wstring(text.Get() ? text.Get() : L"").find(L"Trellis.ShareProps"), std::wstring::npos);
}

}  // namespace
