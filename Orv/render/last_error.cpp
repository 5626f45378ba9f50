#include "Orv/render/last_error.h"

namespace {
thread_local uint32_t t_last_error = 0;
}

void orv_set_last_error(uint32_t code) {
  t_last_error = code;
}
uint32_t orv_last_error() {
  return t_last_error;
}
