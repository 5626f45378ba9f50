// Easing curves: the progress (normally 0..1) of a timed change after `elapsed` of `duration`
// ms along a numbered curve.
//
// Curve numbers (EasingType): 0-3 the system's own curves (linear, accelerating and
// decelerating logarithmic, sine out); 16-48 the 33 standard in, out and in-out curves (linear,
// sine, quad, cubic, quart, quint, expo, circ, back, elastic, bounce). Every other number has
// no curve: its progress is 1.0, so a change with it jumps to its end at once.
//
// Arithmetic is in single precision; powers, sines, cosines, logarithms and roots are taken in
// double precision and rounded back. Back and elastic curves overshoot below 0 and above 1.
// Pure functions, any thread.
#pragma once

#include <cstdint>

namespace actions {

using EasingType = uint32_t;

// 1.0 when duration is 0 (for every type); else elapsed is clamped to duration and the curve
// of `type` evaluated there.
float easing_rate(EasingType type, uint32_t elapsed, uint32_t duration);

// Plays the stretch [start/1000, end/1000] of the curve over `duration` (start <= end <= 1000
// per mille): at elapsed 0 the curve's value at start/1000, at the end its value at end/1000,
// exactly 1.0 when end is 1000. An empty window (start == end) holds the value at start/1000.
float action_ease_time(EasingType type, uint32_t elapsed, uint32_t duration, uint32_t start,
                       uint32_t end);

// The own curves, each 1.0 when d is 0; callers pass t <= d.
float easing_linear(uint32_t t, uint32_t d);       // type 0: t / d
float easing_accele_log(uint32_t t, uint32_t d);   // type 1: min(1, -0.55 log10((d - t) / d))
float easing_decele_log(uint32_t t, uint32_t d);   // type 2: 1 - min(1, -0.8 log10(t / d))
float easing_sine_out(uint32_t t, uint32_t d);     // type 3: sin(t / d * pi / 2)
float easing_decele_quad(uint32_t t, uint32_t d);  // no type: (2 - x) x, x = t / d

}  // namespace actions
