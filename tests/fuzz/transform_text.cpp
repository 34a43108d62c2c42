// The affine chain's text form "<T(1 2)R(0.5)S(2 2)Shear(0 1)>".
#include "fuzz_support.h"

#include "coords/transform_data.h"
#include "platform/locale.h"

namespace {
bool Load(TTransformData& chain, std::string_view text) {
    try {
        chain.LoadFromText(text);
        return true;
    } catch (const Exception&) {
        return false;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFuzzInput input(data, size);
    SetDecimalSeparator(input.TakeByte() % 2 ? ',' : '.');
    int changes = 0;
    TTransformData chain;
    chain.SetOnChange([&changes](TTransformData&) { ++changes; });
    if (!Load(chain, input.Rest())) {
        // Reading happens in one update bracket, also when it fails.
        FUZZ_CHECK(changes <= 1);
        return 0;
    }
    FUZZ_CHECK(changes <= 1);
    // A chain that reads writes a text that reads to the same chain.
    const AnsiString text = chain.SaveToText();
    TTransformData again;
    FUZZ_CHECK(Load(again, text));
    FUZZ_CHECK(again.Count() == chain.Count());
    for (int i = 0; i < chain.Count(); ++i)
        FUZZ_CHECK(std::string_view(again.Get(i).TypeWord()) == chain.Get(i).TypeWord());
    FUZZ_CHECK(again.SaveToText() == text);
    for (int i = 0; i < chain.Count(); ++i)
        (void)chain.Get(i).GetDescription();
    (void)chain.Matrix();
    return 0;
}
