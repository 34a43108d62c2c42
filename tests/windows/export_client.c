/* A client of TextImport.dll's exports, written from the host's records rather than from the
   module's headers: it registers the module as regsvr32 and the host's installer do, reads the
   keys back from the registry, creates the add-on through DllGetClassObject, checks its
   descriptor, its three commands, a command of this build without dialogs and Finalize, and
   unregisters. Usage: export_client PATH-OF-TextImport.dll. Exit code 0 when every check
   passes; each failed check is printed. */
#define WIN32_LEAN_AND_MEAN
#include <objbase.h>
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

static int g_failures = 0;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            printf("FAILED line %d: %s\n", __LINE__, #condition);                                  \
            ++g_failures;                                                                          \
        }                                                                                          \
    } while (0)

/* {27DACE42-8427-11D2-AF21-0020AFDED75D}, the add-on's class id */
static const GUID kAddonClass = {
    0x27DACE42, 0x8427, 0x11D2, {0xAF, 0x21, 0x00, 0x20, 0xAF, 0xDE, 0xD7, 0x5D}};
/* {C8F844A1-1878-11D0-9DF1-444553540000}, IQmAddOn */
static const GUID kIQmAddOn = {
    0xC8F844A1, 0x1878, 0x11D0, {0x9D, 0xF1, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
/* {C8F84416-1878-11D0-9DF1-444553540000}, IQmErrorInfo */
static const GUID kIQmErrorInfo = {
    0xC8F84416, 0x1878, 0x11D0, {0x9D, 0xF1, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
static const GUID kIClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

/* The add-on descriptor: 120 bytes. */
#define INFO_SIZE 120
#define INFO_NAME 16
#define INFO_CAPTION 48
#define INFO_INT1 112
#define INFO_INT2 116
/* A command descriptor: 236 bytes. */
#define MACRO_SIZE 236
#define MACRO_NAME 4
#define MACRO_CAPTION 36
#define MACRO_MENU 100
#define MACRO_TAIL 228

/* The caption in Windows-1251: "Импорт PTS, SDR, RPT, TEXT файлов". */
static const char kCaption[] =
    "\xC8\xEC\xEF\xEE\xF0\xF2 PTS, SDR, RPT, TEXT \xF4\xE0\xE9\xEB\xEE\xE2";
static const wchar_t kCaptionWide[] = L"\x0418\x043C\x043F\x043E\x0440\x0442 PTS, SDR, RPT, TEXT "
                                      L"\x0444\x0430\x0439\x043B\x043E\x0432";

typedef struct AddOn AddOn;
typedef struct MacroList MacroList;

/* IQmAddOn: IUnknown, then GetInfo, Initialize, Finalize, GetMacros, ExecuteMacro, Notify,
   Query. */
typedef struct {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(AddOn*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(AddOn*);
    ULONG(STDMETHODCALLTYPE* Release)(AddOn*);
    HRESULT(STDMETHODCALLTYPE* GetInfo)(AddOn*, void* info);
    HRESULT(STDMETHODCALLTYPE* Initialize)(AddOn*, IUnknown* manager);
    HRESULT(STDMETHODCALLTYPE* Finalize)(AddOn*);
    HRESULT(STDMETHODCALLTYPE* GetMacros)(AddOn*, MacroList** list);
    HRESULT(STDMETHODCALLTYPE* ExecuteMacro)(AddOn*, int32_t id, int32_t value);
    HRESULT(STDMETHODCALLTYPE* Notify)(AddOn*, int32_t a, int32_t b);
    HRESULT(STDMETHODCALLTYPE* Query)(AddOn*, int32_t a, void* b);
} AddOnVtbl;
struct AddOn {
    const AddOnVtbl* vtbl;
};

/* IQmMacroAttrsList: IUnknown, then Get, Count, Clear, Insert. */
typedef struct {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(MacroList*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(MacroList*);
    ULONG(STDMETHODCALLTYPE* Release)(MacroList*);
    HRESULT(STDMETHODCALLTYPE* Get)(MacroList*, int32_t index, void* record);
    HRESULT(STDMETHODCALLTYPE* Count)(MacroList*, int32_t* count);
    HRESULT(STDMETHODCALLTYPE* Clear)(MacroList*);
    HRESULT(STDMETHODCALLTYPE* Insert)(MacroList*, int32_t index, const void* record);
} MacroListVtbl;
struct MacroList {
    const MacroListVtbl* vtbl;
};

/* --- the host's side of Initialize: one manager object answering every interface the add-on
   asks for, and an error sink that keeps the last report ------------------------------------ */

typedef struct HostObject HostObject;
struct HostObject {
    const void* vtbl;
};

static unsigned char g_reportedSource[256];
static unsigned char g_reportedMessage[256];
static int g_reports = 0;
static HostObject g_manager;
static HostObject g_sink;

static HRESULT STDMETHODCALLTYPE HostQueryInterface(HostObject* self, REFIID riid, void** out) {
    (void)self;
    *out = IsEqualGUID(riid, &kIQmErrorInfo) ? (void*)&g_sink : (void*)&g_manager;
    return S_OK;
}
static ULONG STDMETHODCALLTYPE HostAddRef(HostObject* self) {
    (void)self;
    return 2;
}
static ULONG STDMETHODCALLTYPE HostRelease(HostObject* self) {
    (void)self;
    return 1;
}
/* IQmAddOnManager slots 3 and 4: the owner and the application window (none here). */
static HRESULT STDMETHODCALLTYPE HostWindow(HostObject* self, HWND* window) {
    (void)self;
    *window = NULL;
    return S_OK;
}
/* IQmErrorInfo slot 3: report(source, message), both length-prefixed. */
static HRESULT STDMETHODCALLTYPE SinkReport(HostObject* self, const unsigned char* source,
                                            const unsigned char* message) {
    (void)self;
    memcpy(g_reportedSource, source, (size_t)source[0] + 1);
    memcpy(g_reportedMessage, message, (size_t)message[0] + 1);
    ++g_reports;
    return S_OK;
}
/* IQmErrorInfo slot 4: read last error. */
static HRESULT STDMETHODCALLTYPE SinkLast(HostObject* self, unsigned char* source,
                                          unsigned char* message) {
    (void)self;
    memcpy(source, g_reportedSource, (size_t)g_reportedSource[0] + 1);
    memcpy(message, g_reportedMessage, (size_t)g_reportedMessage[0] + 1);
    return S_OK;
}
static const void* const kManagerVtbl[] = {(void*)HostQueryInterface, (void*)HostAddRef,
                                           (void*)HostRelease, (void*)HostWindow,
                                           (void*)HostWindow};
static const void* const kSinkVtbl[] = {(void*)HostQueryInterface, (void*)HostAddRef,
                                        (void*)HostRelease, (void*)SinkReport, (void*)SinkLast};

/* --- helpers ---------------------------------------------------------------------------------- */

/* A length-prefixed string field: length byte, the characters, zeros to the field's end. */
static int FieldIs(const unsigned char* field, size_t size, const char* text) {
    const size_t length = strlen(text);
    if (field[0] != length || memcmp(field + 1, text, length) != 0)
        return 0;
    for (size_t i = length + 1; i < size; ++i)
        if (field[i] != 0)
            return 0;
    return 1;
}

static int32_t Int32At(const unsigned char* record, size_t offset) {
    int32_t value;
    memcpy(&value, record + offset, sizeof value);
    return value;
}

/* The string value of a key, or an empty string. */
static void ReadValue(HKEY root, const wchar_t* key, const wchar_t* name, wchar_t* out,
                      DWORD size) {
    DWORD bytes = size * sizeof(wchar_t);
    out[0] = 0;
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, NULL, out, &bytes) != ERROR_SUCCESS)
        out[0] = 0;
}

static int KeyExists(HKEY root, const wchar_t* key) {
    HKEY handle;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(handle);
    return 1;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        printf("usage: export_client TextImport.dll\n");
        return 2;
    }
    g_manager.vtbl = kManagerVtbl;
    g_sink.vtbl = kSinkVtbl;

    /* The module is loaded from a folder whose name holds a space, as a host installed under
       "Program Files" would load it. */
    wchar_t source[MAX_PATH], folder[MAX_PATH], file[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, source, MAX_PATH);
    GetTempPathW(MAX_PATH, folder);
    _snwprintf(folder + wcslen(folder), 64, L"TextImport client %lu", GetCurrentProcessId());
    CreateDirectoryW(folder, NULL);
    _snwprintf(file, MAX_PATH, L"%ls\\TextImport.dll", folder);
    file[MAX_PATH - 1] = 0;
    if (!CopyFileW(source, file, FALSE)) {
        printf("FAILED: cannot copy %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    HMODULE module = LoadLibraryW(file);
    if (!module) {
        printf("FAILED: cannot load the copy of %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    /* GetProcAddress gives a generic function pointer; each export is called with its own
       type, through void* to say the conversion is meant. */
    typedef HRESULT(STDAPICALLTYPE * RegisterAddOnFn)(const char*, BOOL);
    typedef HRESULT(STDAPICALLTYPE * GetClassObjectFn)(REFCLSID, REFIID, void**);
    typedef HRESULT(STDAPICALLTYPE * NoArgumentsFn)(void);
    /* Plain names on both architectures: the host looks them up so. */
    RegisterAddOnFn registerAddOn =
        (RegisterAddOnFn)(void*)GetProcAddress(module, "QmDllRegisterAddOn");
    GetClassObjectFn getClassObject =
        (GetClassObjectFn)(void*)GetProcAddress(module, "DllGetClassObject");
    NoArgumentsFn canUnloadNow = (NoArgumentsFn)(void*)GetProcAddress(module, "DllCanUnloadNow");
    NoArgumentsFn registerServer =
        (NoArgumentsFn)(void*)GetProcAddress(module, "DllRegisterServer");
    NoArgumentsFn unregisterServer =
        (NoArgumentsFn)(void*)GetProcAddress(module, "DllUnregisterServer");
    CHECK(registerAddOn && getClassObject && canUnloadNow && registerServer && unregisterServer);
    if (!(registerAddOn && getClassObject && canUnloadNow && registerServer && unregisterServer))
        return 1;

    /* Registration, regsvr32-style, then the add-on list keys. */
    wchar_t value[MAX_PATH * 2];
    const wchar_t* classKey = L"CLSID\\{27DACE42-8427-11D2-AF21-0020AFDED75D}";
    const wchar_t* serverKey = L"CLSID\\{27DACE42-8427-11D2-AF21-0020AFDED75D}\\InprocServer32";
    CHECK(registerServer() == S_OK);
    ReadValue(HKEY_CLASSES_ROOT, classKey, NULL, value, MAX_PATH * 2);
    CHECK(wcscmp(value, kCaptionWide) == 0);
    /* The module's path, in its short form since it holds a space. */
    wchar_t modulePath[MAX_PATH * 2], shortPath[MAX_PATH * 2];
    GetModuleFileNameW(module, modulePath, MAX_PATH * 2);
    CHECK(GetShortPathNameW(modulePath, shortPath, MAX_PATH * 2) > 0);
    ReadValue(HKEY_CLASSES_ROOT, serverKey, NULL, value, MAX_PATH * 2);
    CHECK(_wcsicmp(value, shortPath) == 0);
    CHECK(wcschr(value, L' ') == NULL);
    CHECK(!KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\{27DACE42-8427-11D2-AF21-0020AFDED75D}\\ProgID"));

    const wchar_t* addOnKey =
        L"Software\\Tesmo\\GIS\\AddOns\\{27DACE42-8427-11D2-AF21-0020AFDED75D}";
    CHECK(registerAddOn(NULL, TRUE) == S_OK);
    ReadValue(HKEY_LOCAL_MACHINE, addOnKey, NULL, value, MAX_PATH * 2);
    CHECK(wcscmp(value, kCaptionWide) == 0);
    ReadValue(HKEY_LOCAL_MACHINE, addOnKey, L"Active", value, MAX_PATH * 2);
    CHECK(wcscmp(value, L"1") == 0);
    CHECK(registerAddOn("", FALSE) == S_OK);
    ReadValue(HKEY_LOCAL_MACHINE, addOnKey, L"Active", value, MAX_PATH * 2);
    CHECK(wcscmp(value, L"0") == 0);
    /* An id in Windows-1251 ("Проба") that ends in a backslash: no second one is inserted. */
    CHECK(registerAddOn("\xCF\xF0\xEE\xE1\xE0\\", TRUE) == S_OK);
    ReadValue(HKEY_LOCAL_MACHINE,
              L"Software\\Tesmo\\GIS\\AppliedAddOns\\\x041F\x0440\x043E\x0431\x0430\\"
              L"{27DACE42-8427-11D2-AF21-0020AFDED75D}",
              L"Active", value, MAX_PATH * 2);
    CHECK(wcscmp(value, L"1") == 0);

    /* The class factory: only for the add-on's class id. */
    void* unknownFactory = (void*)1;
    GUID otherClass = kAddonClass;
    otherClass.Data1 ^= 1;
    CHECK(getClassObject(&otherClass, &kIClassFactory, &unknownFactory) ==
          CLASS_E_CLASSNOTAVAILABLE);
    CHECK(unknownFactory == NULL);
    IClassFactory* factory = NULL;
    CHECK(getClassObject(&kAddonClass, &kIClassFactory, (void**)&factory) == S_OK && factory);
    if (!factory)
        return 1;
    AddOn* addon = NULL;
    CHECK(factory->lpVtbl->CreateInstance(factory, NULL, &kIQmAddOn, (void**)&addon) == S_OK &&
          addon);
    factory->lpVtbl->Release(factory);
    if (!addon)
        return 1;
    CHECK(canUnloadNow() == S_FALSE);

    /* The descriptor. */
    unsigned char info[INFO_SIZE];
    memset(info, 0xCC, sizeof info);
    CHECK(addon->vtbl->GetInfo(addon, info) == S_OK);
    CHECK(memcmp(info, &kAddonClass, 16) == 0);
    CHECK(FieldIs(info + INFO_NAME, 32, "TextImport"));
    CHECK(FieldIs(info + INFO_CAPTION, 64, kCaption));
    CHECK(Int32At(info, INFO_INT1) == 0);
    CHECK(Int32At(info, INFO_INT2) == 260);

    /* The three commands, in order, in a new list at each call. */
    static const struct {
        int32_t id;
        const char* name;
        const char* caption;
        const char* menu;
    } kCommands[3] = {
        {1, "ImportText", "\xC8\xEC\xEF\xEE\xF0\xF2 \xF2\xE5\xEA\xF1\xF2\xE0",
         "&\xD1\xE5\xF0\xE2\xE8\xF1\\&\xC8\xEC\xEF\xEE\xF0\xF2\\\xD2\xE5\xEA\xF1\xF2..."},
        {2, "ImportPts", "\xC8\xEC\xEF\xEE\xF0\xF2 PTS-\xF4\xE0\xE9\xEB\xE0",
         "&\xD1\xE5\xF0\xE2\xE8\xF1\\&\xC8\xEC\xEF\xEE\xF0\xF2\\PTS-\xF4\xE0\xE9\xEB..."},
        {3, "ImportSdr", "\xC8\xEC\xEF\xEE\xF0\xF2 SDR-\xF4\xE0\xE9\xEB\xE0",
         "&\xD1\xE5\xF0\xE2\xE8\xF1\\&\xC8\xEC\xEF\xEE\xF0\xF2\\SDR-\xF4\xE0\xE9\xEB..."},
    };
    for (int call = 0; call < 2; ++call) {
        MacroList* list = (MacroList*)1;
        CHECK(addon->vtbl->GetMacros(addon, &list) == S_OK && list);
        if (!list)
            break;
        int32_t count = -1;
        CHECK(list->vtbl->Count(list, &count) == S_OK);
        CHECK(count == 3);
        for (int i = 0; i < 3 && i < count; ++i) {
            unsigned char record[MACRO_SIZE];
            memset(record, 0xCC, sizeof record);
            CHECK(list->vtbl->Get(list, i, record) == S_OK);
            CHECK(Int32At(record, 0) == kCommands[i].id);
            CHECK(FieldIs(record + MACRO_NAME, 32, kCommands[i].name));
            CHECK(FieldIs(record + MACRO_CAPTION, 64, kCommands[i].caption));
            CHECK(FieldIs(record + MACRO_MENU, 128, kCommands[i].menu));
            static const unsigned char kZero[8] = {0};
            CHECK(memcmp(record + MACRO_TAIL, kZero, 8) == 0);
        }
        list->vtbl->Release(list);
    }

    /* Initialize with the host objects; an unknown command does nothing; a command of this
       build says through the error sink that it has no dialogs; Finalize. */
    CHECK(addon->vtbl->Initialize(addon, (IUnknown*)&g_manager) == S_OK);
    CHECK(addon->vtbl->ExecuteMacro(addon, 4, 0) == S_OK);
    CHECK(addon->vtbl->ExecuteMacro(addon, 0, 0) == S_OK);
    CHECK(g_reports == 0);
    for (int32_t id = 1; id <= 3; ++id) {
        CHECK(addon->vtbl->ExecuteMacro(addon, id, 0) == E_FAIL);
        /* "...не содержит диалогов..." in the message, the caption as its source */
        CHECK(FieldIs(g_reportedSource, 256, kCaption));
        g_reportedMessage[g_reportedMessage[0] + 1] = 0;
        CHECK(
            strstr((const char*)g_reportedMessage + 1,
                   "\xED\xE5 \xF1\xEE\xE4\xE5\xF0\xE6\xE8\xF2 \xE4\xE8\xE0\xEB\xEE\xE3\xEE\xE2") !=
            NULL);
    }
    CHECK(g_reports == 3);
    CHECK(addon->vtbl->Notify(addon, 1, 2) == S_OK);
    CHECK(addon->vtbl->Query(addon, 1, NULL) == S_FALSE);
    CHECK(addon->vtbl->Finalize(addon) == S_OK);
    addon->vtbl->Release(addon);
    CHECK(canUnloadNow() == S_OK);

    /* Unregistering removes the class keys and leaves the add-on list keys. */
    CHECK(unregisterServer() == S_OK);
    CHECK(!KeyExists(HKEY_CLASSES_ROOT, serverKey));
    CHECK(!KeyExists(HKEY_CLASSES_ROOT, classKey));
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, addOnKey));
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, addOnKey);

    FreeLibrary(module);
    DeleteFileW(file);
    RemoveDirectoryW(folder);
    if (g_failures == 0)
        printf("export_client: all checks passed (%d-bit)\n", (int)(sizeof(void*) * 8));
    return g_failures == 0 ? 0 : 1;
}
