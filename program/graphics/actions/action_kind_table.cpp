#include "graphics/actions/action_kinds.h"

namespace actions {
namespace {

// Kind 3 (the wait) only takes its time.
constexpr ActionKindOps kWait = {nullptr, nullptr, nullptr, nullptr};

}  // namespace

const ActionKindOps& action_kind_ops(uint32_t kind) {
  switch (kind) {
    case 0:
      return kStraight;
    case 1:
      return kShake;
    case 2:
      return kAlpha;
    case 3:
      return kWait;
    case 4:
      return kRotate;
    case 5:
      return kScale;
    case 6:
      return kMovepos;
    case 7:
      return kDecele;
    case 8:
      return kAccele;
    case 9:
      return kSePlayKind;
    case 10:
      return kShake2;
    case 11:
      return kAnimation;
    case 12:
      return kAnimationEx;
    case 13:
      return kScaleEx;
    case 14:
      return kRotateEx;
    case 15:
      return kStraight2;
    case 16:
      return kMoveRect;
    case 17:
      return kColor;
    case 18:
      return kCircle;
    case 19:
      return kCircle;
    case 20:
      return kMaskWipe;
    case 21:
      return kMaskWipeReverse;
    case 22:
      return kGraphShow;
    case 23:
      return kGraphHide;
    case 24:
      return kSetAlpha;
    case 25:
      return kStraightDecele;
    case 26:
      return kEaseMove;
    case 27:
      return kAlphaEase;
    case 28:
      return kScaleXY;
    default:
      return kWait;
  }
}

}  // namespace actions
