#include "report_presenter.h"

#include "rate_penetration_chart.h"
#include "results_report.h"

namespace coning {

ReportPresenter::ReportPresenter(ReportSurfaces surfaces)
    : m_surfaces(surfaces)
{}

void ReportPresenter::clearReportSurfaces()
{
    showAndClearReportSurfaces(m_surfaces);
}

void ReportPresenter::showRunFailure(const RunResult &result)
{
    coning::showRunFailure(m_surfaces, result);
}

void ReportPresenter::writeReport(const RunResult &result)
{
    writeResultsReport(m_surfaces, result);
}

void ReportPresenter::showChart()
{
    showRateChart(m_surfaces.picture2);
}

void ReportPresenter::drawChart(const RunResult &result)
{
    drawRateChart(m_surfaces.picture2, result);
}

} // namespace coning
