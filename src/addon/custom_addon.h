// The add-on object: its descriptor, its class factory, its open forms and the host's
// interfaces it holds between Initialize and Finalize.
#pragma once

#include "addon/host_wrappers.h"
#include "coords/coordinate_reference.h"
#include "host_api/addon_api.h"
#include "host_api/automation_api.h"

#include <iosfwd>
#include <string_view>
#include <vector>

class TDllForm;
class TQmAddonFactory;

class TQmCustomAddon {
public:
    // Fills the descriptor (260 in its last field), joins the module's add-on list, becomes the
    // current add-on and creates the class factory that publishes it.
    TQmCustomAddon(const CLSID& classId, std::string_view name, std::string_view caption,
                   std::int32_t value);
    // Unlinks from the factory, frees the registered forms, stops being the current add-on and
    // leaves the add-on list.
    virtual ~TQmCustomAddon();
    TQmCustomAddon(const TQmCustomAddon&) = delete;
    TQmCustomAddon& operator=(const TQmCustomAddon&) = delete;

    // The operations of IQmAddOn. Failures are exceptions; the proxy turns them into E_FAIL.
    virtual void GetInfo(TQmAddonInfo* info);
    virtual void Initialize(IUnknown* manager);
    virtual void Finalize();
    // A new list held by the caller; the base's is empty.
    virtual TComPtr<IQmMacroAttrsList> GetMacros();
    virtual void ExecuteMacro(std::int32_t id, std::int32_t value);
    virtual void Notify(std::int32_t a, std::int32_t b);
    // True answers yes; the base answers no.
    virtual bool Query(std::int32_t a, void* b);

    const TQmAddonInfo& Info() const { return m_info; }
    AnsiString Caption() const { return m_info.caption.Str(); }
    TQmAddonFactory* Factory() const { return m_factory; }

    // Forms register on creation and unregister when destroyed; the add-on frees those left.
    void RegisterForm(TDllForm* form);
    // False when the form is not in the list (already taken out by FreeForms).
    bool UnregisterForm(TDllForm* form);
    // Takes the last form, removes it from the list and then frees it, until none is left.
    void FreeForms();
    const std::vector<TDllForm*>& Forms() const { return m_forms; }

    // Reads the database's named stream into target (appended, then the position set to 0).
    // False when the stream cannot be created or the database has no such stream; host
    // failures and stream errors raise.
    bool ReadDatabaseStream(const TQmText& name, std::iostream& target) const;
    bool ReadDatabaseStream(std::string_view name, std::iostream& target) const;
    // The coordinate system of the host database, read from its configuration document; the
    // local system when the database has none or it does not read. Host failures raise.
    TCoordinateReferenceDef GetDatabaseCoordinateReference() const;

    // The host's interfaces, empty before Initialize and after Finalize.
    const TQmAddOnManager& AddOnManager() const { return m_addOnManager; }
    const TQmGISDatabase& GISDatabase() const { return m_gisDatabase; }
    const TQmMapProject& MapProject() const { return m_mapProject; }
    const TQmMapObjects& MapObjects() const { return m_mapObjects; }
    const TQmMapView& MapView() const { return m_mapView; }
    const TQmGeometryLib& GeometryLib() const { return m_geometryLib; }
    const TQmPreferences& Preferences() const { return m_preferences; }
    // The host's application automation object, served by the add-on manager; raises when the
    // add-on is not bound to a host that offers it.
    TComPtr<IKavroApplication> KavroApplication() const;

private:
    friend class TQmAddonFactory;
    void ReleaseHolders();

    TQmAddonInfo m_info;
    TQmAddonFactory* m_factory = nullptr; // owned link, see TQmAddonFactory
    std::vector<TDllForm*> m_forms;
    TQmAddOnManager m_addOnManager;
    TQmGISDatabase m_gisDatabase;
    TQmMapProject m_mapProject;
    TQmMapObjects m_mapObjects;
    TQmMapView m_mapView;
    TQmGeometryLib m_geometryLib;
    TQmPreferences m_preferences;
};

// Step 3 of ReadDatabaseStream: copies the whole of source (measured by seeking to its end and
// start) into target in one read. A failing seek raises "Ошибка при установке позиции в
// OLE-потоке"; a failing or short read raises "Ошибка при чтении из OLE-потока".
void CopyOleStream(IStream& source, std::iostream& target);
