// Page objects, every kind: the base classes and the object list (VuobjectsBase.h), the
// shapes, texts, lines and pictures (VuobjectsShapes.h), paths and clipping (VuobjectsClip.h).
#pragma once
#include "preview/document/VuobjectsBase.h"
#include "preview/document/VuobjectsClip.h"
#include "preview/document/VuobjectsShapes.h"
