#pragma once

#include <QtCore/qglobal.h>

#if defined(BEDROCK_LIBRARY)
#define BEDROCK_EXPORT Q_DECL_EXPORT
#else
#define BEDROCK_EXPORT Q_DECL_IMPORT
#endif
