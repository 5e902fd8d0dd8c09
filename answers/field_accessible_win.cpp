// The answer fields' accessible object. The standard proxy of an edit control
// is named by the static before it (a prompt, a number, a caption), which does
// not say which question a field of the grid belongs to. Naming through
// IAccPropServices would be simpler but is not read back everywhere, so the
// field answers WM_GETOBJECT itself with the standard object wrapped, only its
// name replaced.
#include "answers/field_accessible_win.h"

#include <oleacc.h>

#include "answers/scoring.h"
#include "page/control_ids.h"
#include "shell/shell_win.h"

namespace {

constexpr int FIELD_NAME_SIZE = QUIZ_TEXT_SIZE + 32;

// Holds one COM reference and gives it back.
template <typename T>
class ComRef {
  public:
    explicit ComRef(T* adopted = nullptr) : p_(adopted) {}
    ~ComRef() {
        if (p_ != nullptr) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }

  private:
    T* p_ = nullptr;
};

class FieldAccessible final : public IAccessible {
  public:
    FieldAccessible(IAccessible* standard, const char* name) : standard_(standard) {
        standard_->AddRef();
        const int wide = MultiByteToWideChar(1252, 0, name, -1, nullptr, 0);
        name_ = SysAllocStringLen(nullptr, static_cast<UINT>(wide > 0 ? wide - 1 : 0));
        if (name_ != nullptr && wide > 0) MultiByteToWideChar(1252, 0, name, -1, name_, wide);
    }
    FieldAccessible(const FieldAccessible&) = delete;
    FieldAccessible& operator=(const FieldAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IAccessible) {
            return E_NOINTERFACE;
        }
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // The one change: the field's own name.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (name == nullptr) return E_POINTER;
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF || name_ == nullptr) {
            return standard_->get_accName(child, name);
        }
        *name = SysAllocString(name_);
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // No scripting through IDispatch (readers call IAccessible directly).
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n != nullptr) *n = 0;
        return n != nullptr ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // The rest of IAccessible: the standard object's answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override {
        return standard_->get_accParent(p);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override {
        return standard_->get_accChildCount(n);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** p) override {
        return standard_->get_accChild(c, p);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override {
        return standard_->get_accValue(c, v);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* r) override {
        return standard_->get_accRole(c, r);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override {
        return standard_->get_accState(c, s);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* c) override {
        return standard_->get_accFocus(c);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* c) override {
        return standard_->get_accSelection(c);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override {
        return standard_->accSelect(f, c);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h,
                                          VARIANT c) override {
        return standard_->accLocation(x, y, w, h, c);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override {
        return standard_->accNavigate(d, s, e);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override {
        return standard_->accHitTest(x, y, c);
    }
    // A field has no description, help, default action, nor shortcut (its
    // captions show "&" as written).
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, LONG*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    // Deprecated and refused by the standard objects too.
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    ~FieldAccessible() {
        SysFreeString(name_);
        standard_->Release();
    }

    LONG references_ = 1;
    IAccessible* standard_;
    BSTR name_ = nullptr;
};

}  // namespace

LRESULT AnswerFieldObject(HWND field, WPARAM flags, LPARAM objectId) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT || g_quiz == nullptr) return 0;
    char name[FIELD_NAME_SIZE];
    FormatFieldName(*g_quiz, GetDlgCtrlID(field) - ID_ANSWER_EDIT, name, sizeof name);
    if (name[0] == '\0') return 0;
    ComRef<IAccessible> standard;
    if (FAILED(CreateStdAccessibleObject(field, OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(standard.Out())))) {
        return 0;
    }
    // LresultFromObject takes a reference of its own; ours goes with `wrapper`.
    ComRef<IAccessible> wrapper(new FieldAccessible(standard.Get(), name));
    return LresultFromObject(IID_IAccessible, flags, wrapper.Get());
}
