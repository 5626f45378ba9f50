#include "Orv/core_record.h"

#include "Orv/core_alive.h"

CoreRecord& orv_core() {
  static CoreRecord core;
  return core;
}

bool orv_core_alive() {
  return orv_core().alive.load();
}

CoreServices& orv_services() {
  return orv_core().services;
}

ProcessRecord& orv_process() {
  return orv_core().process;
}

GeometryState& orv_geometry() {
  return orv_core().geometry;
}

PresentBuffer& orv_present() {
  return orv_core().present;
}

DebugState& orv_debug() {
  return orv_core().debug;
}

RenderState& orv_render() {
  return orv_core().render;
}

FontState& font_state() {
  return orv_core().fonts;
}
