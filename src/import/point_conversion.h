// The conversion of one imported point into database coordinates, as the point drivers apply
// it: through the coordinate transformer when one is set, otherwise through the affine matrix.
#pragma once

#include "coords/transform_matrix.h"
#include "pts/nxyz_point.h"

class TContourTransformer;
class TImportTransformation;

class TPointConversion {
public:
    // Copies the matrix; the transformer is not owned and may be null.
    TPointConversion(const TContourTransformer* transformer, const TTransformMatrix& matrix)
        : m_transformer(transformer), m_matrix(matrix) {}

    // Never fails: a point that the transformer cannot convert passes unchanged.
    [[nodiscard]] TPlanePoint Convert(TPlanePoint p) const;

    const TTransformMatrix& Matrix() const { return m_matrix; }
    const TContourTransformer* Transformer() const { return m_transformer; }

private:
    const TContourTransformer* m_transformer;
    TTransformMatrix m_matrix;
};

// Prepares the wizard's transformation once at the start of a run (its errors propagate) and
// gives the conversion to apply; without a transformation points pass unchanged.
[[nodiscard]] TPointConversion PrepareRunConversion(TImportTransformation* transformation);
