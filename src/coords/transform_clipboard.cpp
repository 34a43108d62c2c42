#include "coords/transform_clipboard.h"

#include "platform/gui/clipboard.h"
#include "platform/locale.h"

void CopyToClipboard(const TTransformData& chain) {
    const std::string block = EncodeTransformClipboardBlock(chain);
    // The summary as plain text beside the chain only when the matrix has one.
    std::optional<std::u16string> text;
    if (const auto summary = MatrixSummary(chain.Matrix(), DecimalSeparator()))
        text = AnsiToWide(*summary);
    TClipboard::SetData(kTransformClipboardFormat, block, text);
}

void PasteFromClipboard(TTransformData& chain) {
    auto block = TClipboard::GetData(kTransformClipboardFormat);
    if (!block)
        throw EUserError(Ansi("Ошибка вставки данных: буфер обмена не содержит данных в "
                              "необходимом формате."));
    DecodeTransformClipboardBlock(*block, chain);
}
