#include "deviceproblemnotice.h"

void DeviceProblemNotice::Update(QWidget* pPage, const DeviceProblems::Problem& problem)
{
    if (!pPage)
        return;
    auto* pNotice = pPage->findChild<DeviceProblemNotice*>(QString(), Qt::FindDirectChildrenOnly);
    if (!pNotice) {
        if (problem.kind == DeviceProblems::None)
            return;
        pNotice = new DeviceProblemNotice(pPage);
    }
    pNotice->m_problem = problem;
    pNotice->Retranslate();
    pNotice->Show(problem.kind != DeviceProblems::None);
}

DeviceProblemNotice::DeviceProblemNotice(QWidget* pPage)
    : PageNotice(pPage, QStringLiteral("DeviceProblemNotice"))
{
}

void DeviceProblemNotice::Retranslate()
{
    setText(DeviceProblems::Text(m_problem));
}
