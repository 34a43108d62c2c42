// The settings of an SDR import run, as the wizard fills them.
#pragma once

#include "platform/com/types.h"

#include <cstdint>
#include <string>

namespace SDRImporter {

struct TSdrImportParams {
    std::u16string LayerId;
    std::u16string StyleId;
    // Empty: no attribute value is written.
    std::u16string TableId;
    // Each empty: that value is not written.
    std::u16string NumberField;
    std::u16string HeightField;
    std::int32_t Precision = 2; // decimals kept in the height, 1 to 15
    std::u16string DateField;
    DATE ImportDate = 0; // days
};

} // namespace SDRImporter
