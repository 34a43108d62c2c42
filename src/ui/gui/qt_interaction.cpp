#include "ui/gui/qt_interaction.h"

#include "platform/gui/qt_text.h"
#include "platform/gui/window.h"
#include "ui/gui/screen_scale.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

namespace {

// Yes/No and OK in the interface's language, whatever translation Qt has loaded.
void NameButtons(QMessageBox& box) {
    if (auto* yes = box.button(QMessageBox::Yes))
        yes->setText(QtText("Да"));
    if (auto* no = box.button(QMessageBox::No))
        no->setText(QtText("Нет"));
    if (auto* ok = box.button(QMessageBox::Ok))
        ok->setText(QtText("ОК"));
}

int RunMessageBox(QWidget* parent, QMessageBox::Icon icon, const AnsiString& caption,
                  const AnsiString& text, QMessageBox::StandardButtons buttons,
                  QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, ToQString(caption), ToQString(text), buttons, parent);
    box.setObjectName(QString::fromLatin1(TQtInteraction::kMessageBoxName));
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(buttons & QMessageBox::No ? QMessageBox::No : QMessageBox::Ok);
    NameButtons(box);
    return box.exec();
}

// A list that pops up under an anchor and closes on a choice, Escape or a click outside.
class TPickListPopup final : public QListWidget {
public:
    explicit TPickListPopup(QWidget* parent) : QListWidget(parent) {
        setWindowFlags(Qt::Popup);
        setObjectName(QString::fromLatin1(TQtInteraction::kPickListName));
        setAttribute(Qt::WA_DeleteOnClose, false);
        connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
            m_chosen = row(item);
            close();
        });
        connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
            m_chosen = row(item);
            close();
        });
    }

    std::optional<int> Run() {
        QEventLoop loop;
        m_loop = &loop;
        show();
        setFocus();
        loop.exec();
        m_loop = nullptr;
        return m_chosen;
    }

protected:
    void hideEvent(QHideEvent* event) override {
        QListWidget::hideEvent(event);
        if (m_loop)
            m_loop->quit();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            close();
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            currentRow() >= 0) {
            m_chosen = currentRow();
            close();
            return;
        }
        QListWidget::keyPressEvent(event);
    }

private:
    QEventLoop* m_loop = nullptr;
    std::optional<int> m_chosen;
};

} // namespace

TQtInteraction& QtInteraction() {
    static TQtInteraction service;
    return service;
}

QWidget* TQtInteraction::DialogParent() const {
    EnsureGuiApplication();
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return m_owner;
}

void TQtInteraction::ShowMessage(const AnsiString& text) {
    RunMessageBox(DialogParent(), QMessageBox::NoIcon, m_title, text, QMessageBox::Ok,
                  QMessageBox::Ok);
}

void TQtInteraction::ShowError(const AnsiString& text) {
    RunMessageBox(DialogParent(), QMessageBox::Critical, m_title, text, QMessageBox::Ok,
                  QMessageBox::Ok);
}

bool TQtInteraction::Confirm(const AnsiString& text, const AnsiString& caption, TConfirmKind kind) {
    const auto icon = kind == TConfirmKind::Warning ? QMessageBox::Warning : QMessageBox::Question;
    return RunMessageBox(DialogParent(), icon, caption, text, QMessageBox::Yes | QMessageBox::No,
                         QMessageBox::No) == QMessageBox::Yes;
}

QStringList QtNameFilters(const AnsiString& filter) {
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
        }
        // Qt adds the patterns to what the user reads, so the caption's own copy goes.
        QString caption = parts[i].trimmed();
        if (caption.endsWith(QLatin1Char(')'))) {
            const qsizetype open = caption.lastIndexOf(QLatin1Char('('));
            if (open > 0)
                caption = caption.left(open).trimmed();
        }
        filters << QStringLiteral("%1 (%2)").arg(caption, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

std::unique_ptr<QFileDialog> MakeOpenFileDialog(const TOpenFileOptions& options, QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent, ToQString(options.title));
    dialog->setObjectName(QString::fromLatin1(TQtInteraction::kOpenFileDialogName));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::ReadOnly);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(options.multiSelect ? QFileDialog::ExistingFiles
                                            : QFileDialog::ExistingFile);
    const QStringList filters = QtNameFilters(options.filter);
    if (!filters.isEmpty())
        dialog->setNameFilters(filters);
    QString suffix = ToQString(options.defaultExtension);
    while (suffix.startsWith(QLatin1Char('*')) || suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog->setDefaultSuffix(suffix);
    dialog->setLabelText(QFileDialog::LookIn, QtText("Папка:"));
    dialog->setLabelText(QFileDialog::FileName, QtText("Имя файла:"));
    dialog->setLabelText(QFileDialog::FileType, QtText("Тип файлов:"));
    dialog->setLabelText(QFileDialog::Accept, QtText("Открыть"));
    dialog->setLabelText(QFileDialog::Reject, QtText("Отмена"));
    // Room for the name, size, type and date columns side by side, each wide enough for what
    // it shows in Russian ("Текстовый документ", "14.05.2024 15:00").
    dialog->resize(ScreenScaled(QSize(760, 460), parent));
    if (auto* details = dialog->findChild<QTreeView*>()) {
        const int widths[] = {250, 90, 150, 120};
        for (int column = 0; column < 4; ++column)
            details->header()->resizeSection(column, ScreenScaled(widths[column], parent));
    }
    return dialog;
}

std::vector<std::filesystem::path> TQtInteraction::OpenFiles(const TOpenFileOptions& options) {
    const std::unique_ptr<QFileDialog> dialog = MakeOpenFileDialog(options, DialogParent());
    if (dialog->exec() != QDialog::Accepted)
        return {};
    std::vector<std::filesystem::path> paths;
    for (const QString& file : dialog->selectedFiles())
        paths.emplace_back(file.toStdU16String());
    return paths;
}

std::optional<int> TQtInteraction::PickFromList(const TPickListRequest& request) {
    if (request.items.empty())
        return std::nullopt;
    TPickListPopup popup(DialogParent());
    for (const AnsiString& item : request.items)
        popup.addItem(ToQString(item));
    if (request.selected >= 0 && request.selected < popup.count())
        popup.setCurrentRow(request.selected);
    const int rows = std::min(popup.count(), 12);
    const int height = popup.sizeHintForRow(0) * rows + 2 * popup.frameWidth();
    const int width = std::max(request.anchor.width, popup.sizeHintForColumn(0) + 24);
    QPoint position(request.anchor.left, request.anchor.top + request.anchor.height);
    // Kept on the screen: above the anchor when there is no room below.
    if (const QScreen* screen = QApplication::screenAt(position)) {
        const QRect area = screen->availableGeometry();
        if (position.y() + height > area.bottom())
            position.setY(std::max(area.top(), request.anchor.top - height));
        position.setX(
            std::clamp(position.x(), area.left(), std::max(area.left(), area.right() - width)));
    }
    popup.setGeometry(QRect(position, QSize(width, height)));
    return popup.Run();
}

void TQtInteraction::ProcessMessages() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
