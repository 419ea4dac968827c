#pragma once

// Known host codes; 0 means an unknown host, -1 that no identification has run.
constexpr int kHostUnidentified = -1;
constexpr int kHostUnknown = 0;

// The code of the first known host whose key occurs anywhere in the lower-cased name
// (only its first 255 characters take part).
int HostCodeFromName(const char* name);
