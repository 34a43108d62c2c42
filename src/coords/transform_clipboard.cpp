#include "coords/transform_clipboard.h"

#include "platform/gui/clipboard.h"
#include "platform/locale.h"

void CopyToClipboard(const TTransformData& chain) {
    const std::string block = EncodeTransformClipboardBlock(chain);
    const auto summary = MatrixSummary(chain.Matrix(), DecimalSeparator());
    if (summary)
        TClipboard::SetData(kTransformClipboardFormat, block, AnsiToWide(*summary));
    else
        TClipboard::SetData(kTransformClipboardFormat, block, std::u16string());
}

void PasteFromClipboard(TTransformData& chain) {
    auto block = TClipboard::GetData(kTransformClipboardFormat);
    if (!block)
        throw EUserError(Ansi("Ошибка вставки данных: буфер обмена не содержит данных в "
                              "необходимом формате."));
    DecodeTransformClipboardBlock(*block, chain);
}
