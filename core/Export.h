#pragma once
// The libraries are built with hidden default visibility: only what carries
// one of these marks leaves them. VANDREL_ENGINES_EXPORT marks the engines
// (libvandrel-engines, GUI-free), VANDREL_EXPORT the components and platform
// stand-ins (libvandrel). Each library defines its *_BUILD macro while it is
// compiled; users see the import side.
#include <QtCore/qglobal.h>

#ifdef VANDREL_ENGINES_BUILD
#define VANDREL_ENGINES_EXPORT Q_DECL_EXPORT
#else
#define VANDREL_ENGINES_EXPORT Q_DECL_IMPORT
#endif

#ifdef VANDREL_BUILD
#define VANDREL_EXPORT Q_DECL_EXPORT
#else
#define VANDREL_EXPORT Q_DECL_IMPORT
#endif
