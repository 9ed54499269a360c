#pragma once

#include "calc/calculation_run.h"
#include "report_surfaces.h"

namespace coning {

// Connects a calculation run's presentation steps to the report surfaces.
class ReportPresenter : public RunPresentation
{
public:
    explicit ReportPresenter(ReportSurfaces surfaces);

    void clearReportSurfaces() override;
    void showRunFailure(const RunResult &result) override;
    void writeReport(const RunResult &result) override;
    void showChart() override;
    void drawChart(const RunResult &result) override;

private:
    ReportSurfaces m_surfaces;
};

} // namespace coning
