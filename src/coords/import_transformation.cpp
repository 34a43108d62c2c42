#include "coords/import_transformation.h"

void TImportTransformation::PrepareImportTransformation() {
    if (m_method == TImportTransformationMethod::Affine) {
        m_matrix = m_chain.Matrix();
        return;
    }
    // Without a catalog only the cases that need no conversion can be prepared.
    if (!m_catalog) {
        if (m_sourceReference.IsUndefined() || IsSame(m_sourceReference, m_databaseReference)) {
            TCoordinateSystemCatalog empty;
            m_contourTransformer.Prepare(empty, m_sourceReference, m_databaseReference);
            return;
        }
        throw ECriticalCoordinateSystemError(
            Ansi("Внутренняя ошибка: каталог систем координат не создан"));
    }
    m_contourTransformer.Prepare(*m_catalog, m_sourceReference, m_databaseReference);
}

TFunctionResult TImportTransformation::ConvertPoint(double& x, double& y) const noexcept {
    if (m_method == TImportTransformationMethod::Affine) {
        m_matrix.Apply(x, y);
        return {};
    }
    return m_contourTransformer.TransformPoint(x, y);
}
