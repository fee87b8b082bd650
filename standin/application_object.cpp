// The stand-in's application object: the four collections.

#include "standin/com_object.h"
#include "standin/standin_objects.h"

namespace standin {
namespace {

class ApplicationObject final : public ComObject<PalmApplication> {
public:
    explicit ApplicationObject(std::shared_ptr<DesktopState> state) : ComObject(std::move(state), "PalmApplication") {}

    STANDIN_RESERVED(7)
    STANDIN_RESERVED(8)
    STANDIN_RESERVED(9)
    HRESULT STDMETHODCALLTYPE get_Contacts(IDispatch** out) override {
        return collection("get_Contacts", makeContactCollection, out);
    }
    HRESULT STDMETHODCALLTYPE get_Calendar(IDispatch** out) override {
        return collection("get_Calendar", makeCalendarCollection, out);
    }
    HRESULT STDMETHODCALLTYPE get_Memos(IDispatch** out) override {
        return collection("get_Memos", makeMemoCollection, out);
    }
    HRESULT STDMETHODCALLTYPE get_TodoList(IDispatch** out) override {
        return collection("get_TodoList", makeTodoCollection, out);
    }

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_PalmApplication); }

private:
    template <typename Maker>
    HRESULT collection(const char* method, Maker maker, IDispatch** out) noexcept {
        if (out) *out = nullptr;
        return guarded(method, [&] {
            if (!out) return E_POINTER;
            return handOut(maker(sharedState()), out);
        });
    }
};

}  // namespace

win::ComPtr<PalmApplication> makeApplication(const std::shared_ptr<DesktopState>& state) {
    return makeAs<PalmApplication, ApplicationObject>(state);
}

}  // namespace standin
