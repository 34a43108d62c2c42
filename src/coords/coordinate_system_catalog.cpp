#include "coords/coordinate_system_catalog.h"

#include "coords/msk.h"
#include "text/text_rules.h"

// --- cache -----------------------------------------------------------------------------------

namespace {
std::string CacheKey(const TCoordinateReferenceDef& s, const TCoordinateReferenceDef& t) {
    auto part = [](const TCoordinateReferenceDef& d) {
        // Lengths keep the fields apart whatever they contain.
        const AnsiString format = AnsiString(TrimControls(d.Format)),
                         params = AnsiString(TrimControls(d.Parameters));
        return std::to_string(d.Caption.size()) + ":" + d.Caption + std::to_string(format.size()) +
               ":" + format + std::to_string(params.size()) + ":" + params +
               (d.SwitchXY ? "1" : "0");
    };
    return part(s) + "|" + part(t);
}
} // namespace

bool TCoordinateSystemTransformationCache::Find(
    const TCoordinateReferenceDef& source, const TCoordinateReferenceDef& target,
    TCoordinateTransformationPtr& transformation) const {
    auto it = m_entries.find(CacheKey(source, target));
    if (it == m_entries.end())
        return false;
    transformation = it->second;
    return true;
}

void TCoordinateSystemTransformationCache::Add(const TCoordinateReferenceDef& source,
                                               const TCoordinateReferenceDef& target,
                                               const TCoordinateTransformationPtr& transformation) {
    if (!transformation || !transformation->Cacheable())
        return;
    if (m_entries.size() >= kCapacity)
        m_entries.clear();
    m_entries[CacheKey(source, target)] = transformation;
}

// --- catalog ---------------------------------------------------------------------------------

TCoordinateSystemCatalog::TCoordinateSystemCatalog(const TCoordinateSystemProviderList& providers) {
    m_origin.max_load_factor(0.75f);
    m_origin.reserve(1024);
    for (const auto& provider : providers)
        if (provider)
            m_providers.push_back(provider);
    auto own = std::make_shared<TKavroCoordinateSystemProvider>(*this);
    m_defaultProvider = own.get();
    m_providers.push_back(std::move(own));
}

TCoordinateSystemCatalog::~TCoordinateSystemCatalog() {
    // Transformations may hold outside-library objects: let them go before the providers.
    m_cache.Clear();
    m_origin.clear();
    m_references.clear();
    m_formats.clear();
}

TCoordinateSystemProvider& TCoordinateSystemCatalog::DefaultProvider() const {
    return *m_defaultProvider;
}

void TCoordinateSystemCatalog::Reload() {
    m_formats.clear();
    m_references.clear();
    m_origin.clear();
    m_cache.Clear();
    for (const auto& provider : m_providers) {
        provider->Initialize();
        TCoordinateReferenceFormatList formats;
        provider->GetFormats(formats);
        for (auto& format : formats) {
            m_origin[format.get()] = provider.get();
            m_formats.push_back(std::move(format));
        }
        TCoordinateReferenceList references;
        provider->GetPredefinedReferences(references);
        for (auto& reference : references) {
            m_origin[reference.get()] = provider.get();
            m_references.push_back(std::move(reference));
        }
    }
}

TCoordinateReferenceFormatPtr TCoordinateSystemCatalog::FindFormat(std::string_view name) const {
    for (const auto& format : m_formats)
        if (AnsiSameText(format->Name, name))
            return format;
    return nullptr;
}

TCoordinateSystemProvider* TCoordinateSystemCatalog::ProviderOf(const TCSObject* object) const {
    auto it = m_origin.find(object);
    return it == m_origin.end() ? nullptr : it->second;
}

void TCoordinateSystemCatalog::BuildTransformation(const TCoordinateReferenceDef& s,
                                                   const TCoordinateReferenceDef& t,
                                                   TFunctionResult& result,
                                                   TCoordinateTransformationPtr& transformation) {
    result = TFunctionResult();
    transformation.reset();
    auto sourceRef = std::make_shared<TCoordinateReference>(s);
    auto targetRef = std::make_shared<TCoordinateReference>(t);
    if (IsSame(s, t)) {
        transformation = std::make_shared<TIdenticalCoordinateTransformer>(sourceRef, targetRef);
        return;
    }
    if (IsSameExceptSwitch(s, t)) {
        transformation = std::make_shared<TInverseXYCoordinateTransformer>(sourceRef, targetRef);
        return;
    }
    if (m_cache.Find(s, t, transformation))
        return;

    auto sourceFormat = FindFormat(s.Format);
    auto targetFormat = FindFormat(t.Format);
    if (!sourceFormat || !targetFormat) {
        result = TFunctionResult::Failure(Ansi("Неподдерживаемый формат системы координат: ") +
                                          (!sourceFormat ? s : t).ParamsText());
        return;
    }
    TCoordinateSystemProvider* sourceProvider = ProviderOf(sourceFormat.get());
    TCoordinateSystemProvider* targetProvider = ProviderOf(targetFormat.get());
    TCoordinateSystemProvider* provider =
        sourceProvider == targetProvider && sourceProvider ? sourceProvider : m_defaultProvider;

    TCoordinateTransformationPtr built;
    if (!provider->CreateTransformation(s, t, built) || !built) {
        result = TFunctionResult::Failure(
            Ansi("Ошибка создания преобразования СК из \"") + s.JoinedText() + Ansi("\" в \"") +
            t.JoinedText() + Ansi("\".\r\nОшибка: ") +
            Ansi("Преобразование не поддерживается или не существует"));
        return;
    }
    if (!s.SwitchXY && !t.SwitchXY) {
        transformation = built;
    } else {
        auto composite = std::make_shared<TCompositeCoordinateTransformer>(sourceRef, targetRef);
        if (s.SwitchXY)
            composite->Add(std::make_shared<TInverseXYCoordinateTransformer>(sourceRef, sourceRef));
        composite->Add(built);
        if (t.SwitchXY)
            composite->Add(std::make_shared<TInverseXYCoordinateTransformer>(targetRef, targetRef));
        transformation = composite;
    }
    m_cache.Add(s, t, transformation);
}

void TCoordinateSystemCatalog::ValidateReference(const TCoordinateReferenceDef& def) {
    if (def.Format.empty())
        throw ECoordinateSystemError(
            Ansi("Параметры системы координат заданы неверно. Не задан формат описанния СК"));
    auto format = FindFormat(def.Format);
    if (!format)
        throw ECoordinateSystemError(
            Ansi("Параметры системы координат заданы неверно. Не известный формат: ") + def.Format);
    TCoordinateSystemProvider* provider = ProviderOf(format.get());
    if (!provider)
        provider = m_defaultProvider;
    TCoordinateReferencePtr reference;
    if (!provider->CreateReference(def, reference))
        throw ECoordinateSystemError(
            Ansi("Координатная система заданная следующими параметрами \"") + def.JoinedText() +
            Ansi("\" не поддерживается.\r\nОшибка: ") + provider->GetLastError());
}

// --- contour transformer ---------------------------------------------------------------------

void TContourTransformer::Prepare(TCoordinateSystemCatalog& catalog,
                                  const TCoordinateReferenceDef& source,
                                  const TCoordinateReferenceDef& target) {
    m_transformation.reset();
    m_needed = false;
    m_source = source;
    m_target = target;
    const bool needed = !(source.IsUndefined() || IsSame(source, target));
    if (!needed)
        return;
    TFunctionResult result;
    TCoordinateTransformationPtr transformation;
    catalog.BuildTransformation(source, target, result, transformation);
    if (!result.Succeeded() || !transformation)
        throw ECoordinateSystemTransformerError(result.Message);
    m_transformation = std::move(transformation);
    m_needed = true;
}

TFunctionResult TContourTransformer::TransformPoint(double& x, double& y) const noexcept {
    if (!m_needed || !m_transformation)
        return {};
    try {
        TCSPoint point{x, y, 0};
        AnsiString error;
        if (!m_transformation->TransformPoint(point, error))
            return TFunctionResult::Failure(std::move(error));
        x = point.x;
        y = point.y;
        return {};
    } catch (const std::exception& e) {
        return TFunctionResult::Failure(ExceptionMessage(e));
    } catch (...) {
        return TFunctionResult::Failure("Unknown error");
    }
}
