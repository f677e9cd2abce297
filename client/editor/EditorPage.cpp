// The page interface has no code of its own; this file gives its meta-object a home.
#include "client/editor/EditorPage.h"
