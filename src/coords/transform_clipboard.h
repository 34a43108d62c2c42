// The clipboard exchange of affine chains: a private format beside a plain-text summary.
#pragma once

#include "coords/transform_data.h"

// The private clipboard format of chains; on Windows Qt maps this MIME type to the registered
// clipboard format of that name, so other programs exchanging chains see the same format.
inline constexpr const char* kTransformClipboardFormat =
    "application/x-qt-windows-mime;value=\"MERIDO_TRANSFORM_DATA_{890F8EBE-82CC-4EE3-AC0D-"
    "24DD8ACB5BCB}\"";

// Puts the chain's block and, when the matrix has one, its summary as plain text.
void CopyToClipboard(const TTransformData& chain);
// Replaces the chain's items with the clipboard's chain; the chain is unchanged on failure.
void PasteFromClipboard(TTransformData& chain);
