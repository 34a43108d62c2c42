// The run summary panel.
#include "ui/gui/run_summary_panel.h"

#include "platform/gui/qt_text.h"
#include "ui/gui/wizard_layout.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

QString Lines(const std::vector<AnsiString>& lines) {
    QString text;
    for (const AnsiString& line : lines) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += ToQString(line);
    }
    return text;
}

QLabel* TextLabel(const char* name, QWidget* parent) {
    auto* label = Named(new QLabel(parent), name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* Title(const char* utf8, QWidget* parent) {
    auto* title = new QLabel(QtText(utf8), parent);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    return title;
}

} // namespace

TRunSummaryPanel::TRunSummaryPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RunSummary"));
    m_plan = TextLabel("RunPlan", this);
    m_report = TextLabel("RunReport", this);
    m_reportTitle = Title("Результат импорта:", this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Title("Будет выполнено:", this));
    layout->addWidget(m_plan);
    layout->addWidget(m_reportTitle);
    layout->addWidget(m_report);
    ClearReport();
}

void TRunSummaryPanel::SetPlan(const std::vector<AnsiString>& lines) {
    m_plan->setText(Lines(lines));
}

void TRunSummaryPanel::SetReport(const std::vector<AnsiString>& lines) {
    m_report->setText(Lines(lines));
    m_reportTitle->setVisible(true);
    m_report->setVisible(true);
}

void TRunSummaryPanel::ClearReport() {
    m_report->clear();
    m_reportTitle->setVisible(false);
    m_report->setVisible(false);
}

QString TRunSummaryPanel::PlanText() const {
    return m_plan->text();
}

QString TRunSummaryPanel::ReportText() const {
    return m_report->text();
}
