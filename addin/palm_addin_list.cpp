#include "addin/palm_addin_list.h"

#include <oleauto.h>

#include "addin/addin_identity.h"
#include "win/ansi.h"
#include "win/com_ptr.h"
#include "win/unique_bstr.h"

// Palm Desktop declares its add-in list only as a vtable: the calls go by
// slot, as Palm Desktop's own callers make them.

namespace {

constexpr char kAddinDisplayName[] = "Brannock Addin";

using FindEntry = HRESULT(STDMETHODCALLTYPE*)(IUnknown* list, BSTR classId, IUnknown** entry);
using RemoveEntry = HRESULT(STDMETHODCALLTYPE*)(IUnknown* entry);
using AddEntry = HRESULT(STDMETHODCALLTYPE*)(IUnknown* list, BSTR classId, BSTR name, IUnknown** entry);

template <typename Method>
Method slot(IUnknown* object, int index) noexcept {
    void** table = *reinterpret_cast<void***>(object);
    return reinterpret_cast<Method>(table[index]);
}

enum class ListChange { Add, Remove };

void changePalmAddinList(ListChange change) {
    win::ComPtr<IUnknown> list;
    if (::CoCreateInstance(CLSID_PalmAddinList, nullptr, CLSCTX_ALL, IID_PalmAddinList, list.putVoid()) != S_OK)
        return;
    win::UniqueBstr classId = win::makeBstr(classIdText(configuredAddinClassId()));

    win::ComPtr<IUnknown> entry;
    if (FAILED(slot<FindEntry>(list.get(), kAddinListFindSlot)(list.get(), classId.get(), entry.put()))) return;
    if (entry && FAILED(slot<RemoveEntry>(entry.get(), kAddinEntryRemoveSlot)(entry.get()))) return;
    if (change == ListChange::Remove) return;

    win::UniqueBstr name = win::makeBstr(kAddinDisplayName);
    win::ComPtr<IUnknown> added;
    slot<AddEntry>(list.get(), kAddinListAddSlot)(list.get(), classId.get(), name.get(), added.put());
}

}  // namespace

void addToPalmDesktop() noexcept {
    try {
        changePalmAddinList(ListChange::Add);
    } catch (...) {
        // Out of memory: the add-in stays out of the list.
    }
}

void removeFromPalmDesktop() noexcept {
    try {
        changePalmAddinList(ListChange::Remove);
    } catch (...) {
        // Out of memory: the entry stays in the list.
    }
}
