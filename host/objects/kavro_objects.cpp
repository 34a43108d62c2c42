#include "kavro_objects.h"

#include "call_guard.h"
#include "com_base.h"
#include "host/store/value_text.h"

#include <cmath>
#include <limits>

namespace kavrohost {

namespace {

// What the objects, shapes and parts created in this session remember; they are reachable
// only through the objects that created them.
struct TObjectState {
    std::int64_t id;
    std::string layerId;
    int shapeCount = 0;
    std::unordered_map<std::string, int> lastRecord; // table id -> last new record index
};
struct TShapeState {
    std::int64_t id;
    int partCount = 0;
};
struct TPartState {
    std::int64_t id;
    int vertexCount = 0;
};

// -1 appends; 0..count inserts before that position. Returns the position and whether the
// items from it on move.
std::pair<int, bool> Position(int position, int count) {
    if (position == -1 || position == count)
        return {count, false};
    if (position < 0 || position > count)
        throw EHostFailure("Неверная позиция " + std::to_string(position) +
                           " (элементов: " + std::to_string(count) + ")");
    return {position, true};
}

const TLayerDef& LayerOf(THostContext& ctx, const std::string& id) {
    const TLayerDef* layer = ctx.Store().Model().FindLayer(id);
    if (!layer)
        throw EHostFailure("Слой " + Quoted(id) + " не найден");
    return *layer;
}

void CheckIndex(std::int32_t index, std::size_t count) {
    if (index < 0 || static_cast<std::size_t>(index) >= count)
        throw EHostFailure("Индекс " + std::to_string(index) +
                               " вне диапазона (элементов: " + std::to_string(count) + ")",
                           DISP_E_BADINDEX);
}

class TKavroStyle final : public TComBase<IKavroStyle> {
public:
    TKavroStyle(THostContextPtr ctx, std::string id) : m_ctx(std::move(ctx)), m_id(std::move(id)) {}
    HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) override {
        return KavroGuard(*m_ctx, "IKavroStyle.get_ID", [&] {
            *Out(id) = NewBstr(m_id);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        return KavroGuard(*m_ctx, "IKavroStyle.get_Name", [&] {
            Out(name);
            const TStyleDef* s = m_ctx->Store().Model().FindStyle(m_id);
            if (!s)
                throw EHostFailure("Стиль " + Quoted(m_id) + " не найден");
            *name = NewBstr(s->name);
            return S_OK;
        });
    }

private:
    THostContextPtr m_ctx;
    std::string m_id;
};

class TKavroStyles final : public TComBase<IKavroStyles> {
public:
    TKavroStyles(THostContextPtr ctx, std::string layerId)
        : m_ctx(std::move(ctx)), m_layerId(std::move(layerId)) {}
    HRESULT STDMETHODCALLTYPE get_Count(std::int32_t* count) override {
        return KavroGuard(*m_ctx, "IKavroStyles.get_Count", [&] {
            *Out(count) = static_cast<std::int32_t>(LayerOf(*m_ctx, m_layerId).styleIds.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Item(std::int32_t index, IKavroStyle** style) override {
        return KavroGuard(*m_ctx, "IKavroStyles.Item", [&] {
            *Out(style) = nullptr;
            const auto& ids = LayerOf(*m_ctx, m_layerId).styleIds;
            CheckIndex(index, ids.size());
            return HandOut<IKavroStyle>(new TKavroStyle(m_ctx, ids[index]), style);
        });
    }

private:
    THostContextPtr m_ctx;
    std::string m_layerId;
};

class TKavroSemTable final : public TComBase<IKavroSemTable> {
public:
    TKavroSemTable(THostContextPtr ctx, std::string id)
        : m_ctx(std::move(ctx)), m_id(std::move(id)) {}

    HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) override {
        return KavroGuard(*m_ctx, "IKavroSemTable.get_ID", [&] {
            *Out(id) = NewBstr(Table().id);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        return KavroGuard(*m_ctx, "IKavroSemTable.get_Name", [&] {
            *Out(name) = NewBstr(Table().name);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Caption(BSTR* caption) override {
        return KavroGuard(*m_ctx, "IKavroSemTable.get_Caption", [&] {
            *Out(caption) = NewBstr(Table().caption);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Mode(std::int32_t* mode) override {
        return KavroGuard(*m_ctx, "IKavroSemTable.get_Mode", [&] {
            *Out(mode) = Table().mode;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_FieldCount(std::int32_t* count) override {
        return KavroGuard(*m_ctx, "IKavroSemTable.get_FieldCount", [&] {
            *Out(count) = static_cast<std::int32_t>(Table().fields.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetFieldDef(std::int32_t index, BSTR* defName,
                                          std::int32_t* type) override {
        return KavroGuard(*m_ctx, "IKavroSemTable.GetFieldDef", [&] {
            Out(defName);
            Out(type);
            const TTableDef& t = Table();
            CheckIndex(index, t.fields.size());
            *defName = NewBstr(t.fields[index].name);
            *type = t.fields[index].type;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetFieldName(BSTR defName, BSTR* name) override {
        return KavroGuard(*m_ctx, "IKavroSemTable.GetFieldName", [&] {
            *Out(name) = NewBstr(Field(FromBstr(defName)).name);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetFieldType(BSTR name, std::int32_t* type) override {
        return KavroGuard(*m_ctx, "IKavroSemTable.GetFieldType", [&] {
            *Out(type) = Field(FromBstr(name)).type;
            return S_OK;
        });
    }

private:
    const TTableDef& Table() {
        const TTableDef* t = m_ctx->Store().Model().FindTable(m_id);
        if (!t)
            throw EHostFailure("Таблица " + Quoted(m_id) + " не найдена");
        return *t;
    }
    const TFieldDef& Field(const std::string& name) {
        const TTableDef& t = Table();
        int i = t.FieldIndex(name);
        if (i < 0)
            throw EHostFailure("Поле " + Quoted(name) + " не найдено в таблице " + Quoted(t.name));
        return t.fields[i];
    }

    THostContextPtr m_ctx;
    std::string m_id;
};

class TKavroSemTables final : public TComBase<IKavroSemTables> {
public:
    TKavroSemTables(THostContextPtr ctx, std::string layerId)
        : m_ctx(std::move(ctx)), m_layerId(std::move(layerId)) {}
    HRESULT STDMETHODCALLTYPE get_Count(std::int32_t* count) override {
        return KavroGuard(*m_ctx, "IKavroSemTables.get_Count", [&] {
            *Out(count) = static_cast<std::int32_t>(LayerOf(*m_ctx, m_layerId).tableIds.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Item(std::int32_t index, IKavroSemTable** table) override {
        return KavroGuard(*m_ctx, "IKavroSemTables.Item", [&] {
            *Out(table) = nullptr;
            const auto& ids = LayerOf(*m_ctx, m_layerId).tableIds;
            CheckIndex(index, ids.size());
            return HandOut<IKavroSemTable>(new TKavroSemTable(m_ctx, ids[index]), table);
        });
    }

private:
    THostContextPtr m_ctx;
    std::string m_layerId;
};

class TKavroLayer final : public TComBase<IKavroLayer> {
public:
    TKavroLayer(THostContextPtr ctx, std::string id) : m_ctx(std::move(ctx)), m_id(std::move(id)) {}
    HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) override {
        return KavroGuard(*m_ctx, "IKavroLayer.get_ID", [&] {
            *Out(id) = NewBstr(LayerOf(*m_ctx, m_id).id);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        return KavroGuard(*m_ctx, "IKavroLayer.get_Name", [&] {
            *Out(name) = NewBstr(LayerOf(*m_ctx, m_id).name);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Styles(IKavroStyles** styles) override {
        return KavroGuard(*m_ctx, "IKavroLayer.get_Styles", [&] {
            *Out(styles) = nullptr;
            LayerOf(*m_ctx, m_id);
            return HandOut<IKavroStyles>(new TKavroStyles(m_ctx, m_id), styles);
        });
    }
    HRESULT STDMETHODCALLTYPE get_SemTables(IKavroSemTables** tables) override {
        return KavroGuard(*m_ctx, "IKavroLayer.get_SemTables", [&] {
            *Out(tables) = nullptr;
            LayerOf(*m_ctx, m_id);
            return HandOut<IKavroSemTables>(new TKavroSemTables(m_ctx, m_id), tables);
        });
    }

private:
    THostContextPtr m_ctx;
    std::string m_id;
};

class TKavroContourPart final : public TComBase<IKavroContourPart> {
public:
    TKavroContourPart(THostContextPtr ctx, std::int64_t id)
        : m_ctx(std::move(ctx)), m_state{id, 0} {}
    HRESULT STDMETHODCALLTYPE AddVertex(std::int32_t position, double x, double y,
                                        double z) override {
        return KavroGuard(*m_ctx, "IKavroContourPart.AddVertex", [&] {
            if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
                throw EHostFailure("Неверные координаты вершины");
            auto [pos, insert] = Position(position, m_state.vertexCount);
            m_ctx->Store().AddVertex(m_state.id, pos, insert, x, y, z);
            ++m_state.vertexCount;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE put_Closed(VARIANT_BOOL closed) override {
        return KavroGuard(*m_ctx, "IKavroContourPart.put_Closed", [&] {
            m_ctx->Store().SetClosed(m_state.id, closed != VARIANT_FALSE);
            return S_OK;
        });
    }

private:
    THostContextPtr m_ctx;
    TPartState m_state;
};

class TKavroContour final : public TComBase<IKavroContour> {
public:
    TKavroContour(THostContextPtr ctx, std::shared_ptr<TShapeState> shape)
        : m_ctx(std::move(ctx)), m_shape(std::move(shape)) {}
    HRESULT STDMETHODCALLTYPE Add(std::int32_t position, IKavroContourPart** part) override {
        return KavroGuard(*m_ctx, "IKavroContour.Add", [&] {
            *Out(part) = nullptr;
            auto [pos, insert] = Position(position, m_shape->partCount);
            std::int64_t id = m_ctx->Store().AddPart(m_shape->id, pos, insert);
            ++m_shape->partCount;
            return HandOut<IKavroContourPart>(new TKavroContourPart(m_ctx, id), part);
        });
    }

private:
    THostContextPtr m_ctx;
    std::shared_ptr<TShapeState> m_shape;
};

class TKavroShape final : public TComBase<IKavroShape> {
public:
    TKavroShape(THostContextPtr ctx, std::int64_t id)
        : m_ctx(std::move(ctx)), m_state(std::make_shared<TShapeState>(TShapeState{id, 0})) {}
    HRESULT STDMETHODCALLTYPE get_Contour(IKavroContour** contour) override {
        return KavroGuard(*m_ctx, "IKavroShape.get_Contour", [&] {
            *Out(contour) = nullptr;
            return HandOut<IKavroContour>(new TKavroContour(m_ctx, m_state), contour);
        });
    }

private:
    THostContextPtr m_ctx;
    std::shared_ptr<TShapeState> m_state;
};

class TKavroShapes final : public TComBase<IKavroShapes> {
public:
    TKavroShapes(THostContextPtr ctx, std::shared_ptr<TObjectState> object)
        : m_ctx(std::move(ctx)), m_object(std::move(object)) {}
    HRESULT STDMETHODCALLTYPE get_Count(std::int32_t* count) override {
        return KavroGuard(*m_ctx, "IKavroShapes.get_Count", [&] {
            *Out(count) = m_object->shapeCount;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Add(std::int32_t position, BSTR styleId,
                                  IKavroShape** shape) override {
        return KavroGuard(*m_ctx, "IKavroShapes.Add", [&] {
            *Out(shape) = nullptr;
            TProjectStore& store = m_ctx->Store();
            std::string id = FromBstr(styleId);
            const TStyleDef* style = store.Model().FindStyle(id);
            if (!style)
                throw EHostFailure("Стиль " + Quoted(id) + " не найден");
            if (style->layerId != m_object->layerId)
                throw EHostFailure("Стиль " + Quoted(id) + " не принадлежит слою " +
                                   Quoted(m_object->layerId));
            auto [pos, insert] = Position(position, m_object->shapeCount);
            std::int64_t shapeId = store.AddShape(m_object->id, pos, insert, style->key);
            ++m_object->shapeCount;
            return HandOut<IKavroShape>(new TKavroShape(m_ctx, shapeId), shape);
        });
    }

private:
    THostContextPtr m_ctx;
    std::shared_ptr<TObjectState> m_object;
};

class TKavroSemData final : public TComBase<IKavroSemData> {
public:
    TKavroSemData(THostContextPtr ctx, std::shared_ptr<TObjectState> object)
        : m_ctx(std::move(ctx)), m_object(std::move(object)) {}

    HRESULT STDMETHODCALLTYPE NewRecordIndex(BSTR tableName, std::int32_t* index) override {
        return KavroGuard(*m_ctx, "IKavroSemData.NewRecordIndex", [&] {
            Out(index);
            const TTableDef& table = Table(FromBstr(tableName));
            if (table.mode == 0) {
                *index = 0; // one record per object
            } else {
                int& last = m_object->lastRecord[table.id];
                *index = ++last;
            }
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE SetValue(BSTR tableName, BSTR fieldName, VARIANT value,
                                       std::int32_t recordIndex) override {
        return KavroGuard(*m_ctx, "IKavroSemData.SetValue", [&] {
            const TTableDef& table = Table(FromBstr(tableName));
            std::string name = FromBstr(fieldName);
            int field = table.FieldIndex(name);
            // A refusal of the value alone (no such field, a value the field cannot take) says
            // so by its code, apart from a failure of the database.
            if (field < 0)
                throw EHostFailure("Поле " + Quoted(name) + " не найдено в таблице " +
                                       Quoted(table.name),
                                   DISP_E_UNKNOWNNAME);
            CheckRecord(table, recordIndex);
            Store(table, field, value, recordIndex);
            return S_OK;
        });
    }

private:
    const TTableDef& Table(const std::string& name) {
        const TTableDef* t = m_ctx->Store().Model().FindLayerTableByName(m_object->layerId, name);
        if (!t)
            throw EHostFailure("Таблица " + Quoted(name) + " не найдена в слое " +
                               Quoted(m_object->layerId));
        return *t;
    }

    void CheckRecord(const TTableDef& table, std::int32_t record) {
        int last = 0;
        if (table.mode == 1) {
            auto it = m_object->lastRecord.find(table.id);
            last = it == m_object->lastRecord.end() ? 0 : it->second;
        }
        if (record < 0 || record > last)
            throw EHostFailure("Запись " + std::to_string(record) + " таблицы " +
                               Quoted(table.name) + " не существует");
    }

    // The host keeps values in the type of their field and converts what it is given.
    void Store(const TTableDef& table, int fieldIndex, const VARIANT& v, int record) {
        const TFieldDef& field = table.fields[fieldIndex];
        TProjectStore& store = m_ctx->Store();
        auto put = [&](TValueType type, std::int64_t i, double d, std::string_view text) {
            store.SetValue(m_object->id, table.key, fieldIndex, record, type, i, d, text);
        };
        auto fail = [&](const std::string& text, const char* what) {
            throw EHostFailure("Значение " + Quoted(text) + " поля " + Quoted(field.name) +
                                   " не является " + what,
                               DISP_E_TYPEMISMATCH);
        };
        if (v.vt == VT_EMPTY || v.vt == VT_NULL)
            return put(TValueType::Null, 0, 0, {});
        if (v.vt != VT_I4 && v.vt != VT_R8 && v.vt != VT_DATE && v.vt != VT_BSTR)
            throw EHostFailure("Неподдерживаемый тип значения " + std::to_string(v.vt) +
                               " для поля " + Quoted(field.name));
        std::string text = v.vt == VT_BSTR ? FromBstr(v.bstrVal) : std::string();
        bool blank = v.vt == VT_BSTR && text.find_first_not_of(" \t") == std::string::npos;
        const int type = field.type;
        if (type >= 20 && type <= 23) {
            if (v.vt == VT_I4)
                return put(TValueType::Int, v.lVal, 0, {});
            if (v.vt == VT_R8) {
                if (!std::isfinite(v.dblVal) || std::fabs(v.dblVal) > 9.2e18)
                    fail(FormatDouble(v.dblVal), "целым числом");
                return put(TValueType::Int, std::llround(v.dblVal), 0, {});
            }
            if (v.vt == VT_DATE)
                fail(OleDateToText(v.date), "целым числом");
            if (blank)
                return put(TValueType::Null, 0, 0, {});
            auto i = ParseInteger(text);
            if (!i)
                fail(text, "целым числом");
            return put(TValueType::Int, *i, 0, {});
        }
        if (type >= 30 && type <= 32) {
            if (v.vt == VT_I4)
                return put(TValueType::Double, 0, v.lVal, {});
            if (v.vt == VT_R8) {
                if (!std::isfinite(v.dblVal))
                    fail(FormatDouble(v.dblVal), "числом");
                return put(TValueType::Double, 0, v.dblVal, {});
            }
            if (v.vt == VT_DATE)
                fail(OleDateToText(v.date), "числом");
            if (blank)
                return put(TValueType::Null, 0, 0, {});
            auto d = ParseDouble(text);
            if (!d)
                fail(text, "числом");
            return put(TValueType::Double, 0, *d, {});
        }
        if (type >= 40 && type <= 42) {
            if (v.vt == VT_DATE || v.vt == VT_R8) {
                double d = v.vt == VT_DATE ? v.date : v.dblVal;
                if (!std::isfinite(d))
                    fail(FormatDouble(d), "датой");
                return put(TValueType::Date, 0, d, {});
            }
            if (v.vt == VT_I4)
                return put(TValueType::Date, 0, v.lVal, {});
            if (blank)
                return put(TValueType::Null, 0, 0, {});
            auto d = TextToOleDate(text);
            if (!d)
                fail(text, "датой");
            return put(TValueType::Date, 0, *d, {});
        }
        // Text fields (10, 11) and any other type keep the value as text.
        switch (v.vt) {
        case VT_I4:
            return put(TValueType::Text, 0, 0, std::to_string(v.lVal));
        case VT_R8:
            return put(TValueType::Text, 0, 0, FormatDouble(v.dblVal));
        case VT_DATE:
            return put(TValueType::Text, 0, 0, OleDateToText(v.date));
        default:
            return put(TValueType::Text, 0, 0, text);
        }
    }

    THostContextPtr m_ctx;
    std::shared_ptr<TObjectState> m_object;
};

class TKavroMapObject final : public TComBase<IKavroMapObject> {
public:
    TKavroMapObject(THostContextPtr ctx, std::int64_t id, std::string layerId)
        : m_ctx(std::move(ctx)),
          m_state(std::make_shared<TObjectState>(TObjectState{id, std::move(layerId), 0, {}})) {}
    HRESULT STDMETHODCALLTYPE get_ID(std::int32_t* id) override {
        return KavroGuard(*m_ctx, "IKavroMapObject.get_ID", [&] {
            *Out(id) = static_cast<std::int32_t>(m_state->id);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Shapes(IKavroShapes** shapes) override {
        return KavroGuard(*m_ctx, "IKavroMapObject.get_Shapes", [&] {
            *Out(shapes) = nullptr;
            return HandOut<IKavroShapes>(new TKavroShapes(m_ctx, m_state), shapes);
        });
    }
    HRESULT STDMETHODCALLTYPE get_SemData(IKavroSemData** data) override {
        return KavroGuard(*m_ctx, "IKavroMapObject.get_SemData", [&] {
            *Out(data) = nullptr;
            return HandOut<IKavroSemData>(new TKavroSemData(m_ctx, m_state), data);
        });
    }

private:
    THostContextPtr m_ctx;
    std::shared_ptr<TObjectState> m_state;
};

class TKavroMapObjects final : public TComBase<IKavroMapObjects> {
public:
    explicit TKavroMapObjects(THostContextPtr ctx) : m_ctx(std::move(ctx)) {}
    HRESULT STDMETHODCALLTYPE Add(BSTR layerId, IKavroMapObject** object) override {
        return KavroGuard(*m_ctx, "IKavroMapObjects.Add", [&] {
            *Out(object) = nullptr;
            std::string id = FromBstr(layerId);
            const TLayerDef& layer = LayerOf(*m_ctx, id);
            std::int64_t objectId = m_ctx->Store().AddObject(layer.key);
            if (objectId > std::numeric_limits<std::int32_t>::max())
                throw EHostFailure("Превышено число объектов базы данных");
            return HandOut<IKavroMapObject>(new TKavroMapObject(m_ctx, objectId, id), object);
        });
    }
    HRESULT STDMETHODCALLTYPE Commit() override {
        return KavroGuard(*m_ctx, "IKavroMapObjects.Commit", [&] {
            m_ctx->Store().Commit();
            return S_OK;
        });
    }

private:
    THostContextPtr m_ctx;
};

class TKavroDb final : public TComBase<IKavroDb> {
public:
    explicit TKavroDb(THostContextPtr ctx) : m_ctx(std::move(ctx)) {}
    HRESULT STDMETHODCALLTYPE LayerExists(BSTR layerId, VARIANT_BOOL* exists) override {
        return KavroGuard(*m_ctx, "IKavroDb.LayerExists", [&] {
            bool found = m_ctx->Store().Model().FindLayer(FromBstr(layerId)) != nullptr;
            *Out(exists) = found ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetLayer(BSTR layerId, IKavroLayer** layer) override {
        return KavroGuard(*m_ctx, "IKavroDb.GetLayer", [&] {
            *Out(layer) = nullptr;
            const TLayerDef& l = LayerOf(*m_ctx, FromBstr(layerId));
            return HandOut<IKavroLayer>(new TKavroLayer(m_ctx, l.id), layer);
        });
    }
    HRESULT STDMETHODCALLTYPE GetSemTable(BSTR tableId, IKavroSemTable** table) override {
        return KavroGuard(*m_ctx, "IKavroDb.GetSemTable", [&] {
            *Out(table) = nullptr;
            std::string id = FromBstr(tableId);
            if (!m_ctx->Store().Model().FindTable(id))
                throw EHostFailure("Таблица " + Quoted(id) + " не найдена");
            return HandOut<IKavroSemTable>(new TKavroSemTable(m_ctx, id), table);
        });
    }
    HRESULT STDMETHODCALLTYPE get_MapObjects(IKavroMapObjects** objects) override {
        return KavroGuard(*m_ctx, "IKavroDb.get_MapObjects", [&] {
            *Out(objects) = nullptr;
            m_ctx->Store();
            return HandOut<IKavroMapObjects>(new TKavroMapObjects(m_ctx), objects);
        });
    }

private:
    THostContextPtr m_ctx;
};

class TKavroProjectView final : public TComBase<IKavroProjectView> {
public:
    explicit TKavroProjectView(THostContextPtr ctx) : m_ctx(std::move(ctx)) {}
    HRESULT STDMETHODCALLTYPE get_MapCount(std::int32_t* count) override {
        return KavroGuard(*m_ctx, "IKavroProjectView.get_MapCount", [&] {
            *Out(count) = static_cast<std::int32_t>(m_ctx->Store().Model().maps.size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetMap(std::int32_t index, BSTR* id, BSTR* name) override {
        return KavroGuard(*m_ctx, "IKavroProjectView.GetMap", [&] {
            Out(id);
            Out(name);
            const auto& maps = m_ctx->Store().Model().maps;
            CheckIndex(index, maps.size());
            *id = NewBstr(maps[index].id);
            *name = NewBstr(maps[index].name);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetLayerCount(BSTR mapId, std::int32_t* count) override {
        return KavroGuard(*m_ctx, "IKavroProjectView.GetLayerCount", [&] {
            Out(count);
            const TMapDef* map = m_ctx->Store().Model().FindMap(FromBstr(mapId));
            *count = map ? static_cast<std::int32_t>(map->layerIds.size()) : 0;
            return map ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE GetLayer(BSTR mapId, std::int32_t index, BSTR* id,
                                       BSTR* name) override {
        return KavroGuard(*m_ctx, "IKavroProjectView.GetLayer", [&] {
            Out(id);
            Out(name);
            std::string mid = FromBstr(mapId);
            const TProjectModel& model = m_ctx->Store().Model();
            const TMapDef* map = model.FindMap(mid);
            if (!map)
                throw EHostFailure("Карта " + Quoted(mid) + " не найдена");
            CheckIndex(index, map->layerIds.size());
            const TLayerDef& layer = *model.FindLayer(map->layerIds[index]);
            *id = NewBstr(layer.id);
            *name = NewBstr(layer.name);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_ActiveMap(BSTR* mapId) override {
        return KavroGuard(*m_ctx, "IKavroProjectView.get_ActiveMap", [&] {
            *Out(mapId) = NewBstr(m_ctx->Store().Model().activeMap);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_ActiveLayer(BSTR* layerId) override {
        return KavroGuard(*m_ctx, "IKavroProjectView.get_ActiveLayer", [&] {
            *Out(layerId) = NewBstr(m_ctx->Store().Model().activeLayer);
            return S_OK;
        });
    }

private:
    THostContextPtr m_ctx;
};

} // namespace

IKavroDb* NewKavroDb(const THostContextPtr& ctx) {
    return new TKavroDb(ctx);
}
IKavroProjectView* NewKavroProjectView(const THostContextPtr& ctx) {
    return new TKavroProjectView(ctx);
}

} // namespace kavrohost
