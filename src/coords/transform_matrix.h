// The 2x3 affine matrix of a transformation chain, in extended precision.
#pragma once

#include "platform/codepage.h"

#include <optional>
#include <utility>

struct TTransformMatrix {
    // x' = a*x + b*y + tx;  y' = c*x + d*y + ty
    long double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static TTransformMatrix Identity() { return {}; }
    // Replaces this matrix M by the one that applies M first and `next` second.
    void Compose(const TTransformMatrix& next);
    // The image of (x, y), computed in extended precision and rounded to doubles.
    [[nodiscard]] std::pair<double, double> Transform(double x, double y) const {
        long double lx = x, ly = y;
        return {static_cast<double>(a * lx + b * ly + tx),
                static_cast<double>(c * lx + d * ly + ty)};
    }
    // The same, in place.
    void Apply(double& x, double& y) const {
        auto [nx, ny] = Transform(x, y);
        x = nx;
        y = ny;
    }
    bool operator==(const TTransformMatrix&) const = default;
};

// The English plain-text decomposition of a matrix (rotation, scaling, shear, translation) put
// beside a chain on the clipboard; nullopt when the first row is zero. Numbers use `separator`.
std::optional<AnsiString> MatrixSummary(const TTransformMatrix& m, char separator);
