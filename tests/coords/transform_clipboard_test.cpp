// Chains over the platform clipboard: the private block beside the plain-text summary.
#include "coords/transform_clipboard.h"
#include "platform/gui/clipboard.h"

#include <gtest/gtest.h>

TEST(TransformClipboard, CopyAndPaste) {
    TTransformData chain;
    chain.Add(std::make_unique<TTransformTranslationItem>(100, 200.5));
    chain.Add(std::make_unique<TTransformRotationItem>(0.25));
    CopyToClipboard(chain);

    const auto block = TClipboard::GetData(kTransformClipboardFormat);
    ASSERT_TRUE(block);
    EXPECT_EQ(*block, EncodeTransformClipboardBlock(chain));
    // Translation then rotation: t' = R(0.25)·(100, 200.5) = (47.2867483405..., 219.0073364784...).
    const std::u16string text = TClipboard::GetText();
    EXPECT_EQ(
        text.rfind(u"Rotate Angle=0.25 Rad\r\nScaling X=1 Y=1\r\nTranslate X=47.2867483405", 0),
        0u);
    EXPECT_NE(text.find(u" Y=219.0073364784"), std::u16string::npos);

    TTransformData target;
    target.Add(std::make_unique<TTransformScalingItem>(3, 3));
    PasteFromClipboard(target);
    EXPECT_EQ(target.SaveToText(), chain.SaveToText());
}

// A chain whose matrix has no summary (a scaling by 0) goes to the clipboard without any plain
// text: what the clipboard had before is gone, and no empty text stands in for the summary.
TEST(TransformClipboard, NoPlainTextWithoutASummary) {
    TClipboard::SetText(u"старый текст");
    TTransformData chain;
    chain.Add(std::make_unique<TTransformScalingItem>(0, 0));
    CopyToClipboard(chain);
    EXPECT_TRUE(TClipboard::HasFormat(kTransformClipboardFormat));
    EXPECT_FALSE(TClipboard::HasFormat("text/plain"));
    EXPECT_EQ(TClipboard::GetText(), u"");
}

TEST(TransformClipboard, PasteWithoutAChainChangesNothing) {
    TClipboard::SetText(u"<T(1 2)>");
    TTransformData target;
    target.Add(std::make_unique<TTransformScalingItem>(3, 3));
    try {
        PasteFromClipboard(target);
        ADD_FAILURE();
    } catch (const EUserError& e) {
        EXPECT_EQ(e.Message(), Ansi("Ошибка вставки данных: буфер обмена не содержит данных в "
                                    "необходимом формате."));
    }
    EXPECT_EQ(target.SaveToText(), "<S(3 3)>");
}
