// The built-in resource defaults handed to the X Toolkit as fallback resources.
#ifndef VANTOR_FALLBACKRESOURCES_H
#define VANTOR_FALLBACKRESOURCES_H

enum { FALLBACK_RESOURCE_COUNT = 270 };

extern const char* const FALLBACK_RESOURCES[FALLBACK_RESOURCE_COUNT];

#endif
