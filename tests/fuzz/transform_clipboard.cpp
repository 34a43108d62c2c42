// The clipboard block of an affine chain: a 32-bit little-endian length, then the text form.
#include "fuzz_support.h"

#include "coords/transform_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(data), size);
    TTransformData chain;
    chain.Add(std::make_unique<TTransformRotationItem>(1));
    const AnsiString before = chain.SaveToText();
    try {
        DecodeTransformClipboardBlock(block, chain);
    } catch (const Exception&) {
        // The target is unchanged on failure.
        FUZZ_CHECK(chain.SaveToText() == before);
        return 0;
    }
    // A block that reads encodes to a block that reads to the same chain.
    const std::string encoded = EncodeTransformClipboardBlock(chain);
    TTransformData again;
    DecodeTransformClipboardBlock(encoded, again);
    FUZZ_CHECK(again.SaveToText() == chain.SaveToText());
    FUZZ_CHECK(EncodeTransformClipboardBlock(again) == encoded);
    return 0;
}
