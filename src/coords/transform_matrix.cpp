#include "coords/transform_matrix.h"

#include "text/number_text.h"

#include <cmath>
#include <vector>

void TTransformMatrix::Compose(const TTransformMatrix& n) {
    TTransformMatrix r;
    r.a = n.a * a + n.b * c;
    r.b = n.a * b + n.b * d;
    r.tx = n.a * tx + n.b * ty + n.tx;
    r.c = n.c * a + n.d * c;
    r.d = n.c * b + n.d * d;
    r.ty = n.c * tx + n.d * ty + n.ty;
    *this = r;
}

std::optional<AnsiString> MatrixSummary(const TTransformMatrix& m, char separator) {
    const long double r = std::sqrt(m.a * m.a + m.b * m.b);
    if (r == 0)
        return std::nullopt;
    const long double shearX = (m.a * m.c + m.b * m.d) / (r * r), shearY = 0;
    const long double scaleX = r, scaleY = (m.a * m.d - m.b * m.c) / r;
    const long double sinPart = m.b / r;
    long double angle = -std::asin(sinPart);
    if (m.a / r < 0)
        angle = sinPart < 0 ? std::acos(-1.0L) + std::asin(sinPart)
                            : std::asin(sinPart) - std::acos(-1.0L);

    auto zero = [](long double v) { return std::fabs(v) <= 1e-12L; };
    auto num = [&](long double v) { return FormatGeneral(v, 18, separator); };
    std::vector<AnsiString> lines;
    if (!zero(angle))
        lines.push_back("Rotate Angle=" + num(angle) + " Rad");
    if (!(zero(scaleX) && zero(scaleY)))
        lines.push_back("Scaling X=" + num(scaleX) + " Y=" + num(scaleY));
    if (!(zero(shearX) && zero(shearY)))
        lines.push_back("Shear X=" + num(shearX) + " Y=" + num(shearY));
    if (!(zero(m.tx) && zero(m.ty)))
        lines.push_back("Translate X=" + num(m.tx) + " Y=" + num(m.ty));
    if (lines.empty())
        return AnsiString("Empty");
    AnsiString text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\r\n" : "") + lines[i];
    return text;
}
