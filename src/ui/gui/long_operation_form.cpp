#include "ui/gui/long_operation_form.h"

#include "platform/gui/qt_text.h"
#include "platform/gui/window.h"
#include "ui/gui/screen_scale.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Lets a long path wrap at its folder separators, which word wrap alone would not break.
QString WithBreaksInPaths(const QString& text) {
    QString shown;
    shown.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        shown += c;
        if (c == QLatin1Char('\\') || c == QLatin1Char('/'))
            shown += QChar(0x200B); // zero-width space: a line may break here
    }
    return shown;
}

class TLongOperationForm final : public QDialog {
public:
    TLongOperationForm(QWidget* parent, std::function<void()> terminate)
        : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
          m_terminate(std::move(terminate)) {
        setObjectName(QStringLiteral("LongOperationForm"));
        setWindowTitle(QtText("Подождите..."));
        setModal(false);

        m_animation = new QProgressBar(this);
        m_animation->setObjectName(QStringLiteral("Animation"));
        m_animation->setTextVisible(false);
        m_animation->setRange(0, 1);
        m_operationName = new QLabel(this);
        m_operationName->setObjectName(QStringLiteral("OperationName"));
        m_operationName->setWordWrap(true);
        m_operationName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_operationName->setMinimumHeight(2 * fontMetrics().lineSpacing());

        m_buttonPanel = new QWidget(this);
        m_buttonPanel->setObjectName(QStringLiteral("ButtonPanel"));
        m_terminateButton = new QPushButton(QtText("Отмена"), m_buttonPanel);
        m_terminateButton->setObjectName(QStringLiteral("TerminateButton"));
        m_terminateButton->setAutoDefault(false);
        auto* buttons = new QHBoxLayout(m_buttonPanel);
        buttons->setContentsMargins(0, 0, 0, 0);
        buttons->addStretch(1);
        buttons->addWidget(m_terminateButton);

        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_animation);
        layout->addWidget(m_operationName, 1);
        layout->addWidget(m_buttonPanel);
        setFixedWidth(ScreenScaled(400, this));

        connect(m_terminateButton, &QPushButton::clicked, this, [this] { m_terminate(); });
    }

    void SetCancellable(bool cancellable) {
        m_buttonPanel->setVisible(cancellable);
        m_terminateButton->setEnabled(cancellable);
        if (cancellable)
            m_terminateButton->setFocus();
        Fit();
    }
    void SetText(const QString& text) {
        m_operationName->setText(WithBreaksInPaths(text));
        Fit();
    }
    void SetAnimated(bool animated) {
        m_animation->setRange(0, animated ? 0 : 1);
        m_animation->setValue(0);
    }
    // The bar shows how far the step has come; until the first fraction it only moves.
    void SetFraction(double fraction) {
        constexpr int kSteps = 1000;
        m_animation->setRange(0, kSteps);
        m_animation->setValue(static_cast<int>(std::clamp(fraction, 0.0, 1.0) * kSteps));
    }
    void ShowCentred() {
        Fit();
        const QWidget* owner = parentWidget();
        const QRect area = owner      ? owner->frameGeometry()
                           : screen() ? screen()->availableGeometry()
                                      : QRect();
        if (area.isValid())
            move(area.center() - rect().center());
        show();
    }

protected:
    // Escape is the cancel button when there is one; the window cannot be closed otherwise.
    void reject() override {
        if (m_buttonPanel->isVisible() && m_terminateButton->isEnabled())
            m_terminateButton->click();
    }
    void closeEvent(QCloseEvent* event) override { event->ignore(); }

private:
    void Fit() {
        resize(width(),
               heightForWidth(width()) > 0 ? heightForWidth(width()) : sizeHint().height());
    }

    std::function<void()> m_terminate;
    QProgressBar* m_animation;
    QLabel* m_operationName;
    QWidget* m_buttonPanel;
    QPushButton* m_terminateButton;
};

class TQtLongOperationView final : public ILongOperationView {
public:
    TQtLongOperationView(TLongOperations& operations, std::chrono::milliseconds showAfter,
                         QWidget* parent)
        : m_form(new TLongOperationForm(parent, [&operations] { operations.Terminate(); })),
          m_showAfter(showAfter) {
        m_started.start();
    }
    ~TQtLongOperationView() override {
        RestoreCursor();
        delete m_form.data(); // the owner may have gone first
    }
    TQtLongOperationView(const TQtLongOperationView&) = delete;
    TQtLongOperationView& operator=(const TQtLongOperationView&) = delete;

    void SetCancellable(bool cancellable) override {
        if (m_form)
            m_form->SetCancellable(cancellable);
    }
    AnsiString Label() const override { return m_label; }
    void SetLabel(const AnsiString& text) override {
        m_label = text;
        if (m_form)
            m_form->SetText(ToQString(text));
    }
    void StartAnimation() override {
        if (m_form)
            m_form->SetAnimated(true);
        if (!m_waitCursor && !(m_form && m_form->isVisible())) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_waitCursor = true;
        }
    }
    void SetFraction(double fraction) override {
        if (m_form)
            m_form->SetFraction(fraction);
    }
    void StopAnimation() override {
        if (m_form)
            m_form->SetAnimated(false);
        RestoreCursor();
    }
    void ShowAndRepaint() override {
        if (!m_form)
            return;
        if (!m_form->isVisible()) {
            if (std::chrono::milliseconds(m_started.elapsed()) < m_showAfter)
                return;
            m_form->ShowCentred();
            RestoreCursor(); // the window now tells the user what goes on
        }
        m_form->repaint();
    }

private:
    void RestoreCursor() {
        if (m_waitCursor)
            QApplication::restoreOverrideCursor();
        m_waitCursor = false;
    }

    QPointer<TLongOperationForm> m_form;
    std::chrono::milliseconds m_showAfter;
    QElapsedTimer m_started;
    AnsiString m_label;
    bool m_waitCursor = false;
};

// The open modal dialog (the wizard whose run it is), else the application's active window.
QWidget* WindowOwner() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

TLongOperations::TViewFactory QtLongOperationViewFactory(TLongOperations& operations,
                                                         std::chrono::milliseconds showAfter) {
    return [&operations, showAfter]() -> std::unique_ptr<ILongOperationView> {
        EnsureGuiApplication();
        return std::make_unique<TQtLongOperationView>(operations, showAfter, WindowOwner());
    };
}

void UseQtLongOperationWindow() {
    // A run of the module shows its window from the start: one file of a survey can take long
    // enough to need "Отмена" before any half second is over.
    SetLongOperationViewFactory(
        QtLongOperationViewFactory(LongOperations(), std::chrono::milliseconds{0}));
}
