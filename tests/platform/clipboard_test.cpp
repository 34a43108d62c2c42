#include "platform/gui/clipboard.h"
#include "platform/gui/window.h"

#include <QWidget>
#include <gtest/gtest.h>

TEST(Clipboard, KeepsPrivateBytesBesidePlainText) {
    const std::string bytes("\x03\x00\x00\x00"
                            "abc",
                            7);
    TClipboard::SetData("application/x-test", bytes, u"плоский текст");
    EXPECT_TRUE(TClipboard::HasFormat("application/x-test"));
    EXPECT_EQ(TClipboard::GetData("application/x-test"), bytes);
    EXPECT_EQ(TClipboard::GetText(), u"плоский текст");

    TClipboard::SetText(u"только текст");
    EXPECT_FALSE(TClipboard::GetData("application/x-test").has_value());
    EXPECT_EQ(TClipboard::GetText(), u"только текст");
}

TEST(Window, TitleOfANativeWindow) {
    EnsureGuiApplication();
    QWidget w;
    w.setWindowTitle(QString::fromUtf8("Главное окно"));
    const HWND handle = static_cast<HWND>(w.winId());
    EXPECT_EQ(GetWindowTitle(handle), Ansi("Главное окно"));
    EXPECT_EQ(GetWindowTitle(handle, 4), Ansi("Глав"));
    EXPECT_EQ(GetWindowTitle(0), "");
    EXPECT_EQ(WidgetOfWindow(0), nullptr);
}
