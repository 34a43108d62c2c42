// A provider for tests: format "SHIFT" whose parameters "dx dy" place a system at that offset,
// so converting from one such system to another adds the difference of the offsets. Points with
// x below -1e6 fail.
#pragma once

#include "coords/coordinate_system_catalog.h"
#include "coords/import_transformation.h"
#include "support/reference_def.h"
#include "text/number_text.h"
#include "text/text_rules.h"

class TShiftTransformation final : public TCoordinateTransformation {
public:
    TShiftTransformation(TCoordinateReferencePtr s, TCoordinateReferencePtr t, double dx, double dy)
        : TCoordinateTransformation(std::move(s), std::move(t)), m_dx(dx), m_dy(dy) {}
    bool TransformPoints(TCSPointArray& points, TCSBooleanArray& flags, AnsiString&) override {
        flags.assign(points.size(), 0);
        for (size_t i = 0; i < points.size(); ++i) {
            AnsiString ignored;
            flags[i] = TransformPoint(points[i], ignored);
        }
        return true;
    }
    bool TransformPoint(TCSPoint& p, AnsiString& error) override {
        if (p.x < -1e6) {
            error = "shift failed";
            return false;
        }
        p.x += m_dx;
        p.y += m_dy;
        return true;
    }
    bool TransformBounds(TCSBoundingBox& box, AnsiString& error) override {
        return TransformPoint(box.min, error) && TransformPoint(box.max, error);
    }
    bool InverseTransformBounds(TCSBoundingBox& box, AnsiString&) override {
        box.min.x -= m_dx, box.max.x -= m_dx, box.min.y -= m_dy, box.max.y -= m_dy;
        return true;
    }

private:
    double m_dx, m_dy;
};

class TShiftProvider final : public TCoordinateSystemProvider {
public:
    TShiftProvider() : TCoordinateSystemProvider("Test.Shift") {}
    int initialized = 0;
    int transformationsCreated = 0;

    void Initialize() override { ++initialized; }
    void GetFormats(TCoordinateReferenceFormatList& list) override {
        list.push_back(std::make_shared<TCoordinateReferenceFormat>("SHIFT", "Shift"));
    }
    void GetPredefinedReferences(TCoordinateReferenceList& list) override {
        TCoordinateReferenceDef def;
        def.Caption = "Origin";
        def.SetFormat("SHIFT");
        def.Parameters = "0 0";
        list.push_back(std::make_shared<TCoordinateReference>(def));
    }
    bool CreateReference(const TCoordinateReferenceDef& def,
                         TCoordinateReferencePtr& reference) override {
        if (!Offsets(def)) {
            m_lastError = "bad shift";
            return false;
        }
        reference = std::make_shared<TCoordinateReference>(def);
        return true;
    }
    bool CreateTransformation(const TCoordinateReferenceDef& s, const TCoordinateReferenceDef& t,
                              TCoordinateTransformationPtr& result) override {
        auto a = Offsets(s), b = Offsets(t);
        if (!a || !b) {
            m_lastError = "bad shift";
            return false;
        }
        ++transformationsCreated;
        result = std::make_shared<TShiftTransformation>(std::make_shared<TCoordinateReference>(s),
                                                        std::make_shared<TCoordinateReference>(t),
                                                        b->first - a->first, b->second - a->second);
        return true;
    }
    AnsiString GetLastError() override { return m_lastError; }

private:
    static std::optional<std::pair<double, double>> Offsets(const TCoordinateReferenceDef& def) {
        if (!AnsiSameText(def.Format, "SHIFT"))
            return std::nullopt;
        const auto space = def.Parameters.find(' ');
        if (space == AnsiString::npos)
            return std::nullopt;
        auto x = ReadDecimal(def.Parameters.substr(0, space), kPointOrCommaForm);
        auto y = ReadDecimal(def.Parameters.substr(space + 1), kPointOrCommaForm);
        if (!x || !y)
            return std::nullopt;
        return std::make_pair(*x, *y);
    }
    AnsiString m_lastError;
};

// The conversion from one shift system into another 100 m east of it, for runs that convert
// their points: the provider refuses points west of -1e6.
struct TShiftConversion {
    TShiftConversion() {
        TCoordinateReferenceDef source, target;
        source.SetFormat("SHIFT");
        source.Parameters = "0 0";
        target.SetFormat("SHIFT");
        target.Parameters = "100 0";
        catalog.Reload();
        transformation.SetCatalog(&catalog);
        transformation.SetMethod(TImportTransformationMethod::CoordinateSystem);
        transformation.SetDatabaseReference(target);
        transformation.SetSourceReference(source);
    }
    TCoordinateSystemCatalog catalog{{std::make_shared<TShiftProvider>()}};
    TImportTransformation transformation;
};
