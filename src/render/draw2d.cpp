#include "render/draw2d.h"

void atlas_quad(AtlasQuad&, float, float, float, float) {}
