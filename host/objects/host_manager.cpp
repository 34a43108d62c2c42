#include "host_manager.h"

#include "call_guard.h"
#include "com_base.h"
#include "kavro_objects.h"

#include <cmath>

namespace kavrohost {

namespace {

std::string IdText(const TQmID* id) {
    if (!id)
        throw EHostFailure("Не задан идентификатор", E_POINTER);
    return AnsiToUtf8(id->View());
}

void SetText(TQmText& target, const std::string& utf8) {
    target.Assign(Utf8ToAnsi(utf8));
}
void SetId(TQmID& target, const std::string& utf8) {
    target.Assign(Utf8ToAnsi(utf8));
}

class TIDsList final : public TComBase<IQmIDsList> {
public:
    TIDsList(THostContextPtr ctx, std::vector<std::string> ids)
        : m_ctx(std::move(ctx)), m_ids(std::move(ids)) {}
    HRESULT STDMETHODCALLTYPE Count(std::int32_t* count) override {
        return QmGuard(*m_ctx, "IQmIDsList.Count", [&] {
            *Out(count) = static_cast<std::int32_t>(m_ids.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Get(std::int32_t index, TQmID* id) override {
        return QmGuard(*m_ctx, "IQmIDsList.Get", [&] {
            Out(id);
            if (index < 0 || static_cast<std::size_t>(index) >= m_ids.size())
                throw EHostFailure("Индекс " + std::to_string(index) +
                                   " вне диапазона списка идентификаторов (элементов: " +
                                   std::to_string(m_ids.size()) + ")");
            SetId(*id, m_ids[index]);
            return S_OK;
        });
    }

private:
    THostContextPtr m_ctx;
    std::vector<std::string> m_ids;
};

class TQmStyle final : public TComBase<IQmStyle> {
public:
    TQmStyle(THostContextPtr ctx, TStyleDef style)
        : m_ctx(std::move(ctx)), m_style(std::move(style)) {}
    HRESULT STDMETHODCALLTYPE GetName(TQmText* name) override {
        return QmGuard(*m_ctx, "IQmStyle.GetName", [&] {
            SetText(*Out(name), m_style.name);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetIDs(IQmIDsList** ids) override {
        return QmGuard(*m_ctx, "IQmStyle.GetIDs", [&] {
            *Out(ids) = nullptr;
            // Entry 0 is the owning layer, then the style itself.
            *ids = new TIDsList(m_ctx, {m_style.layerId, m_style.id});
            return S_OK;
        });
    }

private:
    THostContextPtr m_ctx;
    TStyleDef m_style;
};

class THostManager final
    : public TComBase<IQmErrorInfo, IQmAddOnManager, IQmGISDatabase, IQmMapProject, IQmMapObjects,
                      IQmMapView, IQmGeometryLib, IQmPreferences, IKavroApplication> {
public:
    explicit THostManager(THostContextPtr ctx) : m_ctx(std::move(ctx)) {}

    // IQmErrorInfo
    HRESULT STDMETHODCALLTYPE ReportError(const TQmText* source, const TQmText* message) override {
        return QmGuard(*m_ctx, "IQmErrorInfo.ReportError", [&] {
            m_ctx->AddReport(
                {source ? source->Str() : AnsiString(), message ? message->Str() : AnsiString()});
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetLastError(TQmText* source, TQmText* message) override {
        // Not guarded by the sink itself: reading the last error must not replace it.
        try {
            m_ctx->Faults().Check("IQmErrorInfo.GetLastError");
        } catch (const std::exception&) {
            return E_FAIL;
        }
        if (!source || !message)
            return E_POINTER;
        source->Assign(m_ctx->LastError().source);
        message->Assign(m_ctx->LastError().message);
        return S_OK;
    }

    // IQmAddOnManager
    HRESULT STDMETHODCALLTYPE GetOwnerWindow(HWND* window) override {
        return QmGuard(*m_ctx, "IQmAddOnManager.GetOwnerWindow", [&] {
            *Out(window) = m_ctx->ownerWindow;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetApplicationWindow(HWND* window) override {
        return QmGuard(*m_ctx, "IQmAddOnManager.GetApplicationWindow", [&] {
            *Out(window) = m_ctx->applicationWindow;
            return S_OK;
        });
    }

    // IQmGISDatabase
    HRESULT STDMETHODCALLTYPE GetMapInfo(const TQmID* mapId, TQmMapInfo* info) override {
        return QmGuard(*m_ctx, "IQmGISDatabase.GetMapInfo", [&] {
            Out(info);
            const TMapDef& map = Map(IdText(mapId));
            SetId(info->id, map.id);
            SetText(info->name, map.name);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetLayerInfo(const TQmID* layerId, TQmLayerInfo* info) override {
        return QmGuard(*m_ctx, "IQmGISDatabase.GetLayerInfo", [&] {
            Out(info);
            const TLayerDef& layer = Layer(IdText(layerId));
            SetId(info->id, layer.id);
            SetId(info->mapId, layer.mapId);
            SetText(info->name, layer.name);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetLayerIDs(const TQmID* mapId, IQmIDsList** ids) override {
        return QmGuard(*m_ctx, "IQmGISDatabase.GetLayerIDs", [&] {
            *Out(ids) = nullptr;
            *ids = new TIDsList(m_ctx, Map(IdText(mapId)).layerIds);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetStyleIDs(const TQmID* layerId, IQmIDsList** ids) override {
        return QmGuard(*m_ctx, "IQmGISDatabase.GetStyleIDs", [&] {
            *Out(ids) = nullptr;
            *ids = new TIDsList(m_ctx, Layer(IdText(layerId)).styleIds);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetTableIDs(const TQmID* layerId, IQmIDsList** ids) override {
        return QmGuard(*m_ctx, "IQmGISDatabase.GetTableIDs", [&] {
            *Out(ids) = nullptr;
            *ids = new TIDsList(m_ctx, Layer(IdText(layerId)).tableIds);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetStyle(const TQmID* styleId, IQmStyle** style) override {
        return QmGuard(*m_ctx, "IQmGISDatabase.GetStyle", [&] {
            *Out(style) = nullptr;
            std::string id = IdText(styleId);
            const TStyleDef* s = m_ctx->Store().Model().FindStyle(id);
            if (!s)
                throw EHostFailure("Стиль " + Quoted(id) + " не найден");
            *style = new TQmStyle(m_ctx, *s);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetTableInfo(const TQmID* tableId, TQmTableInfo* info) override {
        return QmGuard(*m_ctx, "IQmGISDatabase.GetTableInfo", [&] {
            Out(info);
            std::string id = IdText(tableId);
            const TTableDef* t = m_ctx->Store().Model().FindTable(id);
            if (!t)
                throw EHostFailure("Таблица " + Quoted(id) + " не найдена");
            SetId(info->id, t->id);
            SetText(info->name, t->name);
            SetText(info->caption, t->caption);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE ReadStream(const TQmText* name, IStream* target) override {
        return QmGuard(*m_ctx, "IQmGISDatabase.ReadStream", [&] {
            if (!name)
                throw EHostFailure("Не задано имя потока", E_POINTER);
            if (!target)
                throw EHostFailure("Не задан поток для чтения", E_POINTER);
            auto bytes = m_ctx->Store().ReadStream(AnsiToUtf8(name->View()));
            if (!bytes)
                return S_FALSE;
            std::size_t done = 0;
            while (done < bytes->size()) {
                ULONG chunk =
                    static_cast<ULONG>(std::min<std::size_t>(bytes->size() - done, 1u << 20));
                ULONG written = 0;
                if (FAILED(target->Write(bytes->data() + done, chunk, &written)) || written == 0)
                    throw EHostFailure("Ошибка записи в поток " + Quoted(AnsiToUtf8(name->View())));
                done += written;
            }
            return S_OK;
        });
    }

    // IQmMapProject
    HRESULT STDMETHODCALLTYPE GetMapIDs(IQmIDsList** ids) override {
        return QmGuard(*m_ctx, "IQmMapProject.GetMapIDs", [&] {
            *Out(ids) = nullptr;
            std::vector<std::string> list;
            for (const auto& m : m_ctx->Store().Model().maps)
                list.push_back(m.id);
            *ids = new TIDsList(m_ctx, std::move(list));
            return S_OK;
        });
    }

    // IKavroApplication
    HRESULT STDMETHODCALLTYPE get_ActiveDb(IKavroDb** db) override {
        return KavroGuard(*m_ctx, "IKavroApplication.get_ActiveDb", [&] {
            *Out(db) = nullptr;
            m_ctx->Store();
            *db = NewKavroDb(m_ctx);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_ProjectView(IKavroProjectView** view) override {
        return KavroGuard(*m_ctx, "IKavroApplication.get_ProjectView", [&] {
            *Out(view) = nullptr;
            m_ctx->Store();
            *view = NewKavroProjectView(m_ctx);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetSetting(BSTR key, BSTR defaultValue, BSTR* value) override {
        return KavroGuard(*m_ctx, "IKavroApplication.GetSetting", [&] {
            Out(value);
            std::string k = FromBstr(key);
            if (k.empty())
                throw EHostFailure("Не задан ключ настройки");
            auto stored = m_ctx->Store().GetSetting(k);
            *value =
                stored
                    ? NewBstr(*stored)
                    : SysAllocStringLen(BstrView(defaultValue).data(),
                                        static_cast<std::uint32_t>(BstrView(defaultValue).size()));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetSetting(BSTR key, BSTR value) override {
        return KavroGuard(*m_ctx, "IKavroApplication.SetSetting", [&] {
            std::string k = FromBstr(key);
            if (k.empty())
                throw EHostFailure("Не задан ключ настройки");
            m_ctx->Store().SetSetting(k, FromBstr(value));
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Folder(BSTR* folder) override {
        return KavroGuard(*m_ctx, "IKavroApplication.get_Folder", [&] {
            *Out(folder) = NewBstr(m_ctx->folder);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE ShowRect(double minX, double minY, double maxX, double maxY,
                                       std::int32_t flags) override {
        return KavroGuard(*m_ctx, "IKavroApplication.ShowRect", [&] {
            if (!std::isfinite(minX) || !std::isfinite(minY) || !std::isfinite(maxX) ||
                !std::isfinite(maxY))
                throw EHostFailure("Неверный прямоугольник показа");
            std::array<double, 4> rect{minX, minY, maxX, maxY};
            m_ctx->Store().SetShowRect(rect);
            if ((flags & kShowRectMoveView) && m_ctx->onShowRect)
                m_ctx->onShowRect(rect);
            return S_OK;
        });
    }

private:
    const TMapDef& Map(const std::string& id) {
        const TMapDef* map = m_ctx->Store().Model().FindMap(id);
        if (!map)
            throw EHostFailure("Карта " + Quoted(id) + " не найдена");
        return *map;
    }
    const TLayerDef& Layer(const std::string& id) {
        const TLayerDef* layer = m_ctx->Store().Model().FindLayer(id);
        if (!layer)
            throw EHostFailure("Слой " + Quoted(id) + " не найден");
        return *layer;
    }

    THostContextPtr m_ctx;
};

} // namespace

IUnknown* NewHostManager(const THostContextPtr& ctx) {
    return (new THostManager(ctx))->Identity();
}

} // namespace kavrohost
