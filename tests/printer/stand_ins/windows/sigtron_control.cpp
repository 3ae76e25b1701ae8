// Stand-in for the Sigtron control TSigDrCm: an in-process COM server of the control's class
// whose IDispatch answers the control's dispatch identifiers with our emulator. STANDIN_FAULT
// as for the stand-in libraries ("crash:Execute:3", ...); "refuse:CreateInstance" makes the
// class factory refuse to create the control. With STANDIN_LICENSE set, the control is created
// only with that runtime license key (IClassFactory2::CreateInstanceLic).
#include "printer/sigtron/sigtron_emulator.h"
#include "../stand_in.h"

#include <ole2.h>
#include <olectl.h>
#include <string>

namespace {

const CLSID sigtronClass = {0xE082E834, 0xEA7F, 0x11D0, {0x86, 0xA4, 0x00, 0x00, 0x44, 0x02, 0x2A, 0x8A}};

ecf::printer::sigtron::SigtronEmulator& emu()
{
    static ecf::printer::sigtron::SigtronEmulator e(standin::printer());
    return e;
}

std::u16string text(const VARIANT& v)
{
    if (v.vt != VT_BSTR || !v.bstrVal)
        return {};
    return std::u16string(reinterpret_cast<const char16_t*>(v.bstrVal), SysStringLen(v.bstrVal));
}

class Control : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; } // one object, alive with the DLL
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override
    {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO*,
                                     UINT*) override
    {
        // Arguments come in reverse order.
        const auto arg = [p](UINT k) { return k < p->cArgs ? text(p->rgvarg[p->cArgs - 1 - k]) : std::u16string(); };
        const bool put = flags & DISPATCH_PROPERTYPUT;
        switch (id) {
        case 1: return put ? (standin::enter("CmdFileName"), emu().CmdFileName(arg(0)), S_OK) : E_INVALIDARG;
        case 2: return put ? (standin::enter("CommConfig"), emu().CommConfig(arg(0)), S_OK) : E_INVALIDARG;
        case 6: return put ? (standin::enter("LibName"), emu().LibName(arg(0)), S_OK) : E_INVALIDARG;
        case 8: return put ? (standin::enter("CmdName"), emu().CmdName(arg(0)), S_OK) : E_INVALIDARG;
        case 10: {
            standin::enter("Open");
            const bool open = emu().Open();
            if (result) {
                result->vt = VT_BOOL;
                result->boolVal = open ? VARIANT_TRUE : VARIANT_FALSE;
            }
            return S_OK;
        }
        case 11: return standin::enter("Close"), emu().Close(), S_OK;
        case 12: return number(result, (standin::enter("SendText"), emu().SendText(arg(0))));
        case 14: return number(result, (standin::enter("Execute"), emu().Execute()));
        case 16: return standin::enter("SetParameter"), emu().SetParameter(arg(0), arg(1)), S_OK;
        case 17: {
            standin::enter("ReturnValue");
            const std::u16string v = emu().ReturnValue(arg(0));
            if (result) {
                result->vt = VT_BSTR;
                result->bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(v.data()), static_cast<UINT>(v.size()));
            }
            return S_OK;
        }
        default: return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    static HRESULT number(VARIANT* result, int n)
    {
        if (result) {
            result->vt = VT_I4;
            result->lVal = n;
        }
        return S_OK;
    }
    ULONG refs_ = 1;
} control;

class Factory : public IClassFactory2 {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory) ||
            IsEqualIID(iid, IID_IClassFactory2)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        *out = nullptr;
        if (license())
            return CLASS_E_NOTLICENSED;
        return create(outer, iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetLicInfo(LICINFO* info) override
    {
        info->cbLicInfo = sizeof(LICINFO);
        info->fRuntimeKeyAvail = TRUE;
        info->fLicVerified = license() == nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RequestLicKey(DWORD, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateInstanceLic(IUnknown* outer, IUnknown*, REFIID iid, BSTR key, void** out) override
    {
        *out = nullptr;
        const char* wanted = license();
        std::string given;
        for (UINT i = 0; key && i < SysStringLen(key); ++i)
            given.push_back(static_cast<char>(key[i]));
        if (wanted && given != wanted)
            return CLASS_E_NOTLICENSED;
        return create(outer, iid, out);
    }

private:
    static const char* license()
    {
        const char* l = std::getenv("STANDIN_LICENSE");
        return l && *l ? l : nullptr;
    }
    static HRESULT create(IUnknown* outer, REFIID iid, void** out)
    {
        const char* fault = std::getenv("STANDIN_FAULT");
        if (outer || (fault && std::string(fault) == "refuse:CreateInstance"))
            return CLASS_E_CLASSNOTAVAILABLE;
        return control.QueryInterface(iid, out);
    }
} factory;

} // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    *out = nullptr;
    if (!IsEqualCLSID(clsid, sigtronClass))
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_FALSE; }
