#pragma once
// Reads the system's font configuration (fontconfig: its files and font caches) on a second thread while
// the program starts. The first widget needs it, and reading it takes as long as starting Qt itself: made
// before the QApplication, the reading overlaps with Qt's start. wait() (or the destructor) waits for it;
// call it before the first widget is made, or Qt reads the configuration a second time meanwhile.

#include "trellis_global.h"

#include <thread>

class TRELLIS_EXPORT FontConfigWarmUp
{
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    void wait();

private:
    std::thread m_thread;
};
