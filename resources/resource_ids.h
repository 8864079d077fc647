// Resource identifiers shared by the C++ sources and renpin.rc.
#pragma once

// Program icon (renpin.ico).
#define IDI_RENPIN 1
