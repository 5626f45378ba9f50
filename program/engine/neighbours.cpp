#include "engine/neighbours.h"

namespace engine {

Neighbours neighbours{};

}  // namespace engine
