// The report run of the Saved Reports page as the Search Report page reaches it.
#pragma once

#include "ReportPopupDialog.h"
#include "ReportRunner.h"
#include "SavedReport.h"

class CSavedReportRunner : public CReportRunner
{
public:
    explicit CSavedReportRunner(CSavedReport& page) : m_Page(page) {}

    void SetReportControls(CWnd* pStop, CWnd* pGenerate, CWnd* pStatus) override
    {
        m_Page.m_pReportStop = pStop;
        m_Page.m_pReportGenerate = pGenerate;
        m_Page.m_pReportStatus = pStatus;
    }
    void SetReportPopup(CWnd* pPopup) override
    {
        m_Page.m_pReportPopup = dynamic_cast<CReportPopupDialog*>(pPopup);
    }
    void StartReport(SearchSession session) override { m_Page.StartReport(session); }
    void StopReport() override { m_Page.StopReport(); }
    bool IsReportBusy() const override { return m_Page.IsBusy(); }
    bool IsReportStopping() const override { return m_Page.IsStopping(); }

private:
    CSavedReport& m_Page;
};
