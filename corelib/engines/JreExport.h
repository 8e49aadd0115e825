#pragma once

// The modules are built with hidden symbols; only the interface's entry points are exported.
#define JRE_EXPORT extern "C" __attribute__((visibility("default")))
