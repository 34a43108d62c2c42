#include "platform/gui/clipboard.h"

#include "platform/gui/window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
QClipboard* Clipboard() {
    EnsureGuiApplication();
    return QGuiApplication::clipboard();
}
} // namespace

void TClipboard::SetData(const std::string& mimeType, const std::string& bytes,
                         const std::optional<std::u16string>& plainText) {
    auto* data = new QMimeData;
    data->setData(QString::fromStdString(mimeType),
                  QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (plainText)
        data->setText(QString::fromStdU16String(*plainText));
    Clipboard()->setMimeData(data); // the clipboard takes ownership
}

void TClipboard::SetText(const std::u16string& text) {
    Clipboard()->setText(QString::fromStdU16String(text));
}

bool TClipboard::HasFormat(const std::string& mimeType) {
    const QMimeData* data = Clipboard()->mimeData();
    return data && data->hasFormat(QString::fromStdString(mimeType));
}

std::optional<std::string> TClipboard::GetData(const std::string& mimeType) {
    const QMimeData* data = Clipboard()->mimeData();
    const QString type = QString::fromStdString(mimeType);
    if (!data || !data->hasFormat(type))
        return std::nullopt;
    const QByteArray bytes = data->data(type);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::u16string TClipboard::GetText() {
    const QMimeData* data = Clipboard()->mimeData();
    if (!data || !data->hasText())
        return {};
    return data->text().toStdU16String();
}
