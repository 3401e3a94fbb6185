#pragma once

#include <QByteArray>
#include <QSet>

// Names of the integer registers of a description whose value cannot change while the device is open:
// read-only IntReg nodes at a fixed address, without index, availability, invalidators or "NoCache".
// Their value is read from the device once (a tick frequency is read for every event).
QSet<QByteArray> readConstantRegisters(const QByteArray& description);
