#pragma once

#include "featuredesc.h"

#include <QByteArray>

class CCamInterface;

namespace Saltire {

// Fetches the description and the translation text of the instance's open device: a 3 MiB buffer first,
// a buffer of the reported length when that is not enough, and the description's length as the capacity of
// the translation. False when the buffer cannot be had; the texts are cut at their first NUL.
bool FetchDescriptionTexts(CCamInterface* pInterface, QByteArray& description, QByteArray& translation);

// Fills the map from the first "EventControl" group of the description and the translation's Chinese
// names. False when the description does not load (the map is then left empty).
// Deeper element nesting than this refuses a description (and drops a translation).
constexpr int kMaxNesting = 255;

bool ParseFeatureDescriptions(const QByteArray& description, const QByteArray& translation, FeatureDescMap& out);

} // namespace Saltire
