#pragma once
// saltire-cli: the window's event configuration from the command line. Each command takes the arguments
// after its name, writes results to stdout and messages to stderr, and returns the process's exit code.

#include <QStringList>

namespace Cli {

enum ExitCode {
    Ok = 0,
    Usage = 1,          // unknown command or option, missing argument
    NoDevice = 2,       // no device, or none matches --device
    DeviceFailed = 3,   // the device could not be opened and read
    FileFailed = 4,     // a file could not be read or written
    NothingImported = 5,// no entry of the file matched the device
    ApplyFailed = 6,    // the device refused some writes
    UnknownName = 7,    // --on/--off named nothing of the device
    DeviceLost = 8,     // the device stopped answering during the command
    ReadIncomplete = 9, // some event states could not be read: applying would switch them off (see --force)
    NoEvents = 10,      // monitor: the device cannot send events (its producer refused them)
    NoModel = 11,       // export: the device shows no events (see the message for why)
};

// From now on the log's warnings reach stderr only for a command given --verbose.
void InstallLogFilter();

int Devices(const QStringList& args);
int Producers(const QStringList& args);
int Show(const QStringList& args);
int Export(const QStringList& args);
int Import(const QStringList& args);
int Set(const QStringList& args);
int Monitor(const QStringList& args);

// The whole command line, program name first.
int Run(const QStringList& arguments);

} // namespace Cli
