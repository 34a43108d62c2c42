// The part of a wizard's last page that tells what the run will do and, once it has run, what
// it did. The lines come from the run's logic; the panel only shows them.
#pragma once

#include "platform/codepage.h"

#include <QWidget>

#include <vector>

class QLabel;

class TRunSummaryPanel final : public QWidget {
public:
    explicit TRunSummaryPanel(QWidget* parent = nullptr);

    // "RunPlan": what the run will do.
    void SetPlan(const std::vector<AnsiString>& lines);
    // "RunReport": what the last run did; hidden until there is one.
    void SetReport(const std::vector<AnsiString>& lines);
    void ClearReport();

    [[nodiscard]] QString PlanText() const;
    [[nodiscard]] QString ReportText() const;

private:
    QLabel* m_plan = nullptr;
    QLabel* m_reportTitle = nullptr;
    QLabel* m_report = nullptr;
};
