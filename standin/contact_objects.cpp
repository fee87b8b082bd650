// The contact part of the stand-in: ContactCollection, its category list,
// its views and ContactItem / ContactItemEx.

#include "standin/item_object.h"
#include "standin/list_objects.h"
#include "standin/standin_objects.h"

namespace standin {
namespace {

using ContactNames = CategoryNamesObject<ContactCategoryList, ContactData>;
using ContactList = ItemListObject<ContactView, ContactItem, ContactData>;

class ContactItemObject final : public ItemObject<ContactItemEx, ContactData> {
public:
    ContactItemObject(std::shared_ptr<DesktopState> state, Item item)
        : ItemObject(std::move(state), "ContactItem", std::move(item)) {}

    HRESULT STDMETHODCALLTYPE get_FirstName(BSTR* t) override { return getText(kBase, "get_FirstName", &ContactData::firstName, t); }
    HRESULT STDMETHODCALLTYPE put_FirstName(BSTR t) override { return putText(kBase, "put_FirstName", &ContactData::firstName, t); }
    HRESULT STDMETHODCALLTYPE get_LastName(BSTR* t) override { return getText(kBase, "get_LastName", &ContactData::lastName, t); }
    HRESULT STDMETHODCALLTYPE put_LastName(BSTR t) override { return putText(kBase, "put_LastName", &ContactData::lastName, t); }
    HRESULT STDMETHODCALLTYPE get_JobTitle(BSTR* t) override { return getText(kBase, "get_JobTitle", &ContactData::jobTitle, t); }
    HRESULT STDMETHODCALLTYPE put_JobTitle(BSTR t) override { return putText(kBase, "put_JobTitle", &ContactData::jobTitle, t); }
    HRESULT STDMETHODCALLTYPE get_Company(BSTR* t) override { return getText(kBase, "get_Company", &ContactData::company, t); }
    HRESULT STDMETHODCALLTYPE put_Company(BSTR t) override { return putText(kBase, "put_Company", &ContactData::company, t); }
    HRESULT STDMETHODCALLTYPE get_Street(BSTR* t) override { return getAddress(kBase, "get_Street", 0, &PostalAddress::street, t); }
    HRESULT STDMETHODCALLTYPE put_Street(BSTR t) override { return putAddress(kBase, "put_Street", 0, &PostalAddress::street, t); }
    HRESULT STDMETHODCALLTYPE get_City(BSTR* t) override { return getAddress(kBase, "get_City", 0, &PostalAddress::city, t); }
    HRESULT STDMETHODCALLTYPE put_City(BSTR t) override { return putAddress(kBase, "put_City", 0, &PostalAddress::city, t); }
    HRESULT STDMETHODCALLTYPE get_State(BSTR* t) override { return getAddress(kBase, "get_State", 0, &PostalAddress::state, t); }
    HRESULT STDMETHODCALLTYPE put_State(BSTR t) override { return putAddress(kBase, "put_State", 0, &PostalAddress::state, t); }
    HRESULT STDMETHODCALLTYPE get_Zip(BSTR* t) override { return getAddress(kBase, "get_Zip", 0, &PostalAddress::zip, t); }
    HRESULT STDMETHODCALLTYPE put_Zip(BSTR t) override { return putAddress(kBase, "put_Zip", 0, &PostalAddress::zip, t); }
    HRESULT STDMETHODCALLTYPE get_Country(BSTR* t) override { return getAddress(kBase, "get_Country", 0, &PostalAddress::country, t); }
    HRESULT STDMETHODCALLTYPE put_Country(BSTR t) override { return putAddress(kBase, "put_Country", 0, &PostalAddress::country, t); }
    HRESULT STDMETHODCALLTYPE get_Note(BSTR* t) override { return getText(kBase, "get_Note", &ContactData::note, t); }
    HRESULT STDMETHODCALLTYPE put_Note(BSTR t) override { return putText(kBase, "put_Note", &ContactData::note, t); }

    HRESULT STDMETHODCALLTYPE get_Custom(long index, BSTR* t) override {
        if (t) *t = nullptr;
        return onItem(kBase, "get_Custom", [&] {
            if (!inRange(index, kCustomFields)) return E_INVALIDARG;
            return answerText(item().custom[static_cast<size_t>(index)], t);
        });
    }
    HRESULT STDMETHODCALLTYPE put_Custom(long index, BSTR t) override {
        return onItem(kBase, "put_Custom", [&] {
            if (!inRange(index, kCustomFields)) return E_INVALIDARG;
            item().custom[static_cast<size_t>(index)] = textOf(t);
            return S_OK;
        });
    }
    STANDIN_RESERVED(29)
    STANDIN_RESERVED(30)
    HRESULT STDMETHODCALLTYPE put_Category(BSTR name) override { return putText(kBase, "put_Category", &ContactData::category, name); }
    HRESULT STDMETHODCALLTYPE Delete(long argument) override { return deleteFrom(kBase, state().contacts, argument); }
    STANDIN_RESERVED(33)
    STANDIN_RESERVED(34)
    STANDIN_RESERVED(35)
    STANDIN_RESERVED(36)
    STANDIN_RESERVED(37)
    HRESULT STDMETHODCALLTYPE get_Private(long* f) override { return get(kBase, "get_Private", &ContactData::isPrivate, f); }
    HRESULT STDMETHODCALLTYPE put_Private(long f) override { return put(kBase, "put_Private", &ContactData::isPrivate, f); }

    HRESULT STDMETHODCALLTYPE GetPhone(long position, long* label, BSTR* text) override {
        if (text) *text = nullptr;
        return onItem(kBase, "GetPhone", [&] {
            if (!label || !text) return E_POINTER;
            if (!inRange(position, kPhonePositions)) return E_INVALIDARG;
            const PhoneEntry& entry = item().phones[static_cast<size_t>(position)];
            *label = entry.label;
            return answerText(entry.text, text);
        });
    }
    HRESULT STDMETHODCALLTYPE SetPhone(long position, long label, BSTR text) override {
        return onItem(kBase, "SetPhone", [&] {
            if (!inRange(position, kPhonePositions)) return E_INVALIDARG;
            item().phones[static_cast<size_t>(position)] = {label, textOf(text)};
            return S_OK;
        });
    }
    STANDIN_RESERVED(42)
    STANDIN_RESERVED(43)
    HRESULT STDMETHODCALLTYPE get_ReadingFirstName(BSTR* t) override { return getText(kBase, "get_ReadingFirstName", &ContactData::readingFirstName, t); }
    HRESULT STDMETHODCALLTYPE put_ReadingFirstName(BSTR t) override { return putText(kBase, "put_ReadingFirstName", &ContactData::readingFirstName, t); }
    HRESULT STDMETHODCALLTYPE get_ReadingLastName(BSTR* t) override { return getText(kBase, "get_ReadingLastName", &ContactData::readingLastName, t); }
    HRESULT STDMETHODCALLTYPE put_ReadingLastName(BSTR t) override { return putText(kBase, "put_ReadingLastName", &ContactData::readingLastName, t); }
    HRESULT STDMETHODCALLTYPE get_ReadingCompany(BSTR* t) override { return getText(kBase, "get_ReadingCompany", &ContactData::readingCompany, t); }
    HRESULT STDMETHODCALLTYPE put_ReadingCompany(BSTR t) override { return putText(kBase, "put_ReadingCompany", &ContactData::readingCompany, t); }

    HRESULT STDMETHODCALLTYPE get_WebSite(BSTR* t) override { return getText(kEx, "get_WebSite", &ContactData::webSite, t); }
    HRESULT STDMETHODCALLTYPE put_WebSite(BSTR t) override { return putText(kEx, "put_WebSite", &ContactData::webSite, t); }
    HRESULT STDMETHODCALLTYPE get_AddressStreet(long i, BSTR* t) override { return getAddress(kEx, "get_AddressStreet", i, &PostalAddress::street, t); }
    HRESULT STDMETHODCALLTYPE put_AddressStreet(long i, BSTR t) override { return putAddress(kEx, "put_AddressStreet", i, &PostalAddress::street, t); }
    HRESULT STDMETHODCALLTYPE get_AddressCity(long i, BSTR* t) override { return getAddress(kEx, "get_AddressCity", i, &PostalAddress::city, t); }
    HRESULT STDMETHODCALLTYPE put_AddressCity(long i, BSTR t) override { return putAddress(kEx, "put_AddressCity", i, &PostalAddress::city, t); }
    HRESULT STDMETHODCALLTYPE get_AddressState(long i, BSTR* t) override { return getAddress(kEx, "get_AddressState", i, &PostalAddress::state, t); }
    HRESULT STDMETHODCALLTYPE put_AddressState(long i, BSTR t) override { return putAddress(kEx, "put_AddressState", i, &PostalAddress::state, t); }
    HRESULT STDMETHODCALLTYPE get_AddressZip(long i, BSTR* t) override { return getAddress(kEx, "get_AddressZip", i, &PostalAddress::zip, t); }
    HRESULT STDMETHODCALLTYPE put_AddressZip(long i, BSTR t) override { return putAddress(kEx, "put_AddressZip", i, &PostalAddress::zip, t); }
    HRESULT STDMETHODCALLTYPE get_AddressCountry(long i, BSTR* t) override { return getAddress(kEx, "get_AddressCountry", i, &PostalAddress::country, t); }
    HRESULT STDMETHODCALLTYPE put_AddressCountry(long i, BSTR t) override { return putAddress(kEx, "put_AddressCountry", i, &PostalAddress::country, t); }
    HRESULT STDMETHODCALLTYPE get_Birthday(DATE* d) override { return get(kEx, "get_Birthday", &ContactData::birthday, d); }
    HRESULT STDMETHODCALLTYPE put_Birthday(DATE d) override { return put(kEx, "put_Birthday", &ContactData::birthday, d); }
    STANDIN_RESERVED(64)
    STANDIN_RESERVED(65)
    HRESULT STDMETHODCALLTYPE GetIm(long index, long* kind, BSTR* text) override {
        if (text) *text = nullptr;
        return onItem(kEx, "GetIm", [&] {
            if (!kind || !text) return E_POINTER;
            if (!inRange(index, kImEntries)) return E_INVALIDARG;
            const ImEntry& entry = item().ims[static_cast<size_t>(index)];
            *kind = entry.kind;
            return answerText(entry.text, text);
        });
    }
    HRESULT STDMETHODCALLTYPE SetIm(long index, long kind, BSTR text) override {
        return onItem(kEx, "SetIm", [&] {
            if (!inRange(index, kImEntries) || kind != 0) return E_INVALIDARG;
            item().ims[static_cast<size_t>(index)] = {kind, textOf(text)};
            return S_OK;
        });
    }

protected:
    bool answers(REFIID iid) const override {
        return IsEqualIID(iid, IID_ContactItem) || (item().extended && IsEqualIID(iid, IID_ContactItemEx));
    }

private:
    static constexpr const char* kBase = "ContactItem";
    static constexpr const char* kEx = "ContactItemEx";

    HRESULT getAddress(const char* iface, const char* method, long index, std::wstring PostalAddress::*part,
                       BSTR* out) noexcept {
        if (out) *out = nullptr;
        return onItem(iface, method, [&] {
            if (!inRange(index, kAddresses)) return E_INVALIDARG;
            return answerText(item().addresses[static_cast<size_t>(index)].*part, out);
        });
    }
    HRESULT putAddress(const char* iface, const char* method, long index, std::wstring PostalAddress::*part,
                       BSTR text) noexcept {
        return onItem(iface, method, [&] {
            if (!inRange(index, kAddresses)) return E_INVALIDARG;
            item().addresses[static_cast<size_t>(index)].*part = textOf(text);
            return S_OK;
        });
    }
};

class ContactCollectionObject final : public ComObject<ContactCollection> {
public:
    explicit ContactCollectionObject(std::shared_ptr<DesktopState> state)
        : ComObject(std::move(state), "ContactCollection") {}

    HRESULT STDMETHODCALLTYPE get_Categories(ContactCategoryList** list) override {
        if (list) *list = nullptr;
        return guarded("get_Categories", [&] {
            if (!list) return E_POINTER;
            return handOut(makeObject<ContactNames>(sharedState(), "ContactCategoryList", IID_ContactCategoryList,
                                                    &DesktopState::contacts),
                           list);
        });
    }
    STANDIN_RESERVED(8)
    HRESULT STDMETHODCALLTYPE get_CategoryView(BSTR category, ContactView** view) override {
        if (view) *view = nullptr;
        return guarded("get_CategoryView", [&] {
            if (!view) return E_POINTER;
            return handOut(makeObject<ContactList>(sharedState(), "ContactView", IID_ContactView,
                                                   state().contacts.itemsIn(textOf(category)), makeContactItem),
                           view);
        });
    }
    STANDIN_RESERVED(10)
    HRESULT STDMETHODCALLTYPE NewContact(BSTR category, BSTR firstName, BSTR lastName, ContactItem** contact) override {
        if (contact) *contact = nullptr;
        return guarded("NewContact", [&] {
            if (!contact) return E_POINTER;
            ContactData data;
            data.category = textOf(category);
            data.firstName = textOf(firstName);
            data.lastName = textOf(lastName);
            data.extended = state().contacts.extendNewItems;
            return handOut(makeContactItem(sharedState(), state().contacts.add(std::move(data))), contact);
        });
    }
    STANDIN_RESERVED(12)
    STANDIN_RESERVED(13)
    STANDIN_RESERVED(14)
    HRESULT STDMETHODCALLTYPE AddCategory(BSTR name) override {
        return guarded("AddCategory", [&] { return state().contacts.addCategory(textOf(name)) ? S_OK : S_FALSE; });
    }

protected:
    bool answers(REFIID iid) const override { return IsEqualIID(iid, IID_ContactCollection); }
};

}  // namespace

win::ComPtr<ContactCollection> makeContactCollection(const std::shared_ptr<DesktopState>& state) {
    return makeAs<ContactCollection, ContactCollectionObject>(state);
}

win::ComPtr<ContactItem> makeContactItem(const std::shared_ptr<DesktopState>& state, const ContactSection::Item& item) {
    return makeAs<ContactItem, ContactItemObject>(state, item);
}

}  // namespace standin
