#pragma once

#include <QtCore/qglobal.h>

#if defined(TRELLIS_LIBRARY)
#define TRELLIS_EXPORT Q_DECL_EXPORT
#else
#define TRELLIS_EXPORT Q_DECL_IMPORT
#endif
