// The one place that names the program's version: captions and the version resource use it.
#pragma once

#define HEXALUNE_VERSION_MAJOR 1
#define HEXALUNE_VERSION_MINOR 20
#define HEXALUNE_VERSION_TEXT "1.20"
#define HEXALUNE_PRODUCT_NAME "Hexalune"
#define HEXALUNE_WINDOW_CAPTION HEXALUNE_PRODUCT_NAME " v" HEXALUNE_VERSION_TEXT
#define HEXALUNE_FILE_DESCRIPTION "Hexalune - an I Ching hexagram for the day"
#define HEXALUNE_COPYRIGHT "Copyright (C) 2026 The Hexalune developers"
