#pragma once
// Aravis's fake GigE Vision camera on 127.0.0.1, serving one of our event descriptions. It listens on
// the fixed GVCP port, so tests that start one hold the CTest resource lock "gvcp-3956".

#include "gvcpeventsender.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QThread>

class FakeCamera
{
public:
    ~FakeCamera() { Stop(); }

    // Starts the camera and waits until it answers; false when it does not within a few seconds.
    bool Start(const QString& strDescription, const QString& strSerial = "DVA2040")
    {
        Stop();
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start("arv-fake-gv-camera-0.8", {"-i", "127.0.0.1", "-s", strSerial, "-g", strDescription});
        if (!m_process.waitForStarted(5000))
            return false;
        GvcpEventSender probe;
        QElapsedTimer clock;
        clock.start();
        uint32_t value = 0;
        while (clock.elapsed() < 5000) {
            if (m_process.state() != QProcess::Running)
                return false;
            if (probe.ReadRegister(0x0A00, value))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    // The camera advertises one message channel with EVENT and EVENTDATA, as a camera with events does.
    // Written while nobody controls it (the fake camera takes writes from anyone then).
    bool AdvertiseEvents(bool bOn = true)
    {
        GvcpEventSender sender;
        return sender.WriteRegister(GvcpEventSender::kRegMessageChannelCount, bOn ? 1 : 0)
               && sender.WriteRegister(GvcpEventSender::kRegGvcpCapability, bOn ? 0x18 : 0);
    }

    void Kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    void Stop() { Kill(); }


private:
    QProcess m_process;
};
