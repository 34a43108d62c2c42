#include "addon/custom_addon.h"

#include "addon/addon_factory.h"
#include "addon/application_binding.h"
#include "addon/dll_form.h"
#include "addon/macro_attrs_list.h"
#include "addon/module_state.h"
#include "coords/database_configuration.h"
#include "platform/exception.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <limits>
#include <memory>
#include <sstream>
#include <type_traits>

namespace {

constexpr std::int32_t kInfoReserved = 260;
constexpr std::size_t kMaxTitleLength = 1024;

// Obtains one interface of the host's manager object into a holder; a manager without it is
// the RTL's "Interface not supported".
template <class Holder> void Obtain(IUnknown* manager, Holder& holder) {
    using I = std::remove_reference_t<decltype(*holder.intf.Get())>;
    TComPtr<I> intf;
    if (FAILED(manager->QueryInterface(InterfaceId<I>::value, intf.PutVoid())) || !intf)
        throw EUserError("Interface not supported");
    holder.intf = std::move(intf);
}

} // namespace

TQmCustomAddon::TQmCustomAddon(const CLSID& classId, std::string_view name,
                               std::string_view caption, std::int32_t value) {
    std::memset(&m_info, 0, sizeof m_info);
    m_info.classId = classId;
    m_info.name.Assign(name);
    m_info.caption.Assign(caption);
    m_info.value = value;
    m_info.reserved = kInfoReserved;
    AddAddonToList(this);
    SetCurrentAddon(this);
    m_factory = TQmAddonFactory::Create(this);
}

TQmCustomAddon::~TQmCustomAddon() {
    if (m_factory) {
        m_factory->m_addon = nullptr;
        m_factory = nullptr;
    }
    FreeForms();
    if (CurrentAddon() == this)
        SetCurrentAddon(nullptr);
    RemoveAddonFromList(this);
}

void TQmCustomAddon::GetInfo(TQmAddonInfo* info) {
    if (!info)
        throw EUserError(Ansi("Неверный указатель на описание расширения"));
    std::memcpy(info, &m_info, sizeof m_info);
}

void TQmCustomAddon::Initialize(IUnknown* manager) {
    // 1. The error sink first, so that failures of the later steps reach the host. A manager
    // without one leaves the sink empty.
    TComPtr<IQmErrorInfo> sink;
    if (manager)
        manager->QueryInterface(IID_IQmErrorInfo, sink.PutVoid());
    SetHostErrorSink(sink.Get());

    // 2. The seven holders, in order; a previous binding goes first, and those obtained before
    // a missing one stay held until Finalize.
    ReleaseHolders();
    if (manager) {
        Obtain(manager, m_addOnManager);
        Obtain(manager, m_gisDatabase);
        Obtain(manager, m_mapProject);
        Obtain(manager, m_mapObjects);
        Obtain(manager, m_mapView);
        Obtain(manager, m_geometryLib);
        Obtain(manager, m_preferences);
    }

    // 3. The module's dialogs and message boxes belong to the host's application window and
    // carry its title.
    HWND applicationWindow = 0;
    m_addOnManager.GetApplicationWindow(applicationWindow);
    IApplicationBinding* binding = ApplicationBinding();
    AnsiString title = binding ? binding->WindowTitle(applicationWindow) : AnsiString();
    if (title.size() > kMaxTitleLength)
        title.resize(kMaxTitleLength);
    BindApplication(applicationWindow, title);
    if (binding)
        binding->Bind(applicationWindow, ApplicationTitle());

    // 4. The owner of the module's forms.
    HWND ownerWindow = 0;
    m_addOnManager.GetOwnerWindow(ownerWindow);
    SetFormOwnerWindow(ownerWindow);

    // 5.
    SetCurrentAddon(this);
}

void TQmCustomAddon::Finalize() {
    FreeForms();
    SetFormOwnerWindow(0);
    UnbindApplication();
    if (IApplicationBinding* binding = ApplicationBinding())
        binding->Unbind();
    ReleaseHolders();
    SetHostErrorSink(nullptr);
}

void TQmCustomAddon::ReleaseHolders() {
    m_addOnManager.Reset();
    m_gisDatabase.Reset();
    m_mapProject.Reset();
    m_mapObjects.Reset();
    m_mapView.Reset();
    m_geometryLib.Reset();
    m_preferences.Reset();
}

TComPtr<IQmMacroAttrsList> TQmCustomAddon::GetMacros() {
    return TComPtr<IQmMacroAttrsList>(new IQmMacroAttrsListImp);
}

void TQmCustomAddon::ExecuteMacro(std::int32_t, std::int32_t) {}
void TQmCustomAddon::Notify(std::int32_t, std::int32_t) {}
bool TQmCustomAddon::Query(std::int32_t, void*) {
    return false;
}

void TQmCustomAddon::RegisterForm(TDllForm* form) {
    if (form && std::find(m_forms.begin(), m_forms.end(), form) == m_forms.end())
        m_forms.push_back(form);
}

bool TQmCustomAddon::UnregisterForm(TDllForm* form) {
    auto it = std::find(m_forms.begin(), m_forms.end(), form);
    if (it == m_forms.end())
        return false;
    m_forms.erase(it);
    return true;
}

void TQmCustomAddon::FreeForms() {
    // Out of the list before it is freed, so that the form's own unregistering finds nothing
    // and a form that frees another cannot free it twice.
    while (!m_forms.empty()) {
        TDllForm* form = m_forms.back();
        m_forms.pop_back();
        delete form;
    }
}

TComPtr<IKavroApplication> TQmCustomAddon::KavroApplication() const {
    TComPtr<IKavroApplication> application = m_addOnManager.intf.As<IKavroApplication>();
    if (!application)
        throw EUserError(Ansi("Программа не предоставляет объект приложения"));
    return application;
}

bool TQmCustomAddon::ReadDatabaseStream(const TQmText& name, std::iostream& target) const {
    TComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, 1, stream.Put())) || !stream)
        return false;
    if (m_gisDatabase.ReadStream(name, stream.Get()) != S_OK)
        return false; // S_FALSE: no such stream
    CopyOleStream(*stream.Get(), target);
    return true;
}

bool TQmCustomAddon::ReadDatabaseStream(std::string_view name, std::iostream& target) const {
    return ReadDatabaseStream(TQmText::From(name), target);
}

void CopyOleStream(IStream& source, std::iostream& target) {
    const auto seekError = [] {
        return EUserError(Ansi("Ошибка при установке позиции в OLE-потоке"));
    };
    const auto readError = [] { return EUserError(Ansi("Ошибка при чтении из OLE-потока")); };

    ULARGE_INTEGER endPosition{}, startPosition{};
    if (FAILED(source.Seek(StreamOffset(0), STREAM_SEEK_END, &endPosition)))
        throw seekError();
    if (FAILED(source.Seek(StreamOffset(0), STREAM_SEEK_SET, &startPosition)))
        throw seekError();
    const std::uint64_t end = StreamPosition(endPosition);
    const std::uint64_t start = StreamPosition(startPosition);
    if (end < start)
        throw readError();
    const std::uint64_t size = end - start;
    if (size > std::numeric_limits<ULONG>::max() ||
        size > static_cast<std::uint64_t>(std::numeric_limits<std::streamsize>::max()))
        throw readError();

    std::unique_ptr<char[]> bytes(new char[size ? size : 1]);
    ULONG read = 0;
    const HRESULT hr = source.Read(bytes.get(), static_cast<ULONG>(size), &read);
    if (FAILED(hr) || read != size)
        throw readError();

    target.clear();
    target.seekp(0, std::ios::end);
    target.write(bytes.get(), static_cast<std::streamsize>(size));
    target.seekp(0);
    target.seekg(0);
    if (!target)
        throw EUserError(Ansi("Ошибка при записи данных из OLE-потока"));
}

TCoordinateReferenceDef TQmCustomAddon::GetDatabaseCoordinateReference() const {
    return ::GetDatabaseCoordinateReference([this](const AnsiString& name, std::string& bytes) {
        std::stringstream stream;
        if (!ReadDatabaseStream(name, stream))
            return false;
        bytes = std::move(stream).str();
        return true;
    });
}
