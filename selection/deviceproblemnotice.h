#pragma once

#include "deviceproblems.h"
#include "pagenotice.h"

// The notice of a page that shows nothing, or less than the device has: why, in words (in use by another
// application or host, not reachable, lost while it was read, description not usable, no events).
class DeviceProblemNotice : public PageNotice
{
    Q_OBJECT

public:
    // Shows the problem on the page, in the notice it already has or in a new one; hides it for none.
    static void Update(QWidget* pPage, const DeviceProblems::Problem& problem);

protected:
    void Retranslate() override;

private:
    explicit DeviceProblemNotice(QWidget* pPage);

    DeviceProblems::Problem m_problem;
};
