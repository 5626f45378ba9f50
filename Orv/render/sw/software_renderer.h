// The software peer's renderer table (renderer.h). Its record, the DibRenderer, is made by
// open and kept in RenderState::dib; only sw/ reads it.
#pragma once

#include "Orv/render/renderer.h"

const Renderer& software_renderer();
