#pragma once

#include <QString>

// Why a device shows no events, from its last read: it could not be opened (in use, not reachable), it
// stopped answering, its description could not be used, or it describes none. Kept per device number
// like the unreadable states; the worker writes, the page's notice and the command line read. The texts
// are translated (context "DeviceProblems") and said the same way by the window and the command line.
namespace DeviceProblems {

enum Kind {
    None,
    InUse,               // another application or host has it
    Unreachable,         // it does not answer
    OpenFailed,          // the producer refused to open it for another reason
    Lost,                // it stopped answering while it was read
    DescriptionUnusable, // its description could not be read or used
    Refused,             // it refused to give its event features
    NoEvents,            // its description names no events
};

struct Problem {
    Kind kind = None;
    int nCode = 0; // the GenTL error behind it; 0 when there is none
};

void Clear(int nDeviceNumber);
void Set(int nDeviceNumber, Kind kind, int nCode);
Problem Get(int nDeviceNumber);

// The kind of a failed open, from the producer's error code.
Kind OpenFailure(int nCode);

// One sentence for the problem, with its error code where there is one; empty for None.
QString Text(const Problem& problem);

// The meaning of a GenTL error code in words (for a failed read or write), with the code in hex.
QString CodeText(int nCode);

} // namespace DeviceProblems
