// The 128 script layers: release, the per-frame update, render priorities and the face table.
//
// Layer n's image is always record 16 + n of the image table (image_record.h). A layer keeps,
// beside its image, its flags, its queued or running transition, its shake and its child
// links (engine::LayerSlot in the game state).
//
// Thread: the script's thread under the render lock; the asynchronous loader (layer_commands)
// writes a slot only under the lock and only while the slot still waits for its request.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"
#include "graphics/layers/image_record.h"

namespace layers {

constexpr uint32_t kLayers = 128;
constexpr uint32_t kLayerChildren = 0x40000;
constexpr uint32_t kLayerShake = 0x200000;
constexpr uint32_t kLayerMovie = 0x400000;  // the image is a movie sprite started by the script
constexpr uint32_t kLayerAsyncLoad = 0x800000;
constexpr uint32_t kChildLink = 0x10000000;  // mode word of a GraphChild entry: a child layer
constexpr uint32_t kNoFaceLayer = 0xFFFFFFFFu;
constexpr uint32_t kAsyncWaitMs = 3000;

// Render priority of layer n's image: 4999 + priority base - n + 134 x priority step, and for
// a face layer minus its entry's priority offset.
int32_t layer_priority(const engine::VmContext& vm, uint32_t layer, int32_t priority_step,
                       int32_t face_offset = 0);

// Waits (at most 3 s by the game clock, leaving the render lock around each 1 ms sleep) while
// an asynchronous load of the layer is pending. Returns the ms waited.
uint32_t layer_async_wait(engine::VmContext& vm, engine::LayerSlot& slot);

// Releases a layer whose picture stays on screen until the next commit (its sprite and any
// outgoing transition sprite are released by the commit). Returns 1.
uint32_t layer_release(engine::VmContext& vm, engine::LayerSlot& slot);
// As layer_release, with the sprites released at once.
uint32_t layer_release_now(engine::VmContext& vm, engine::LayerSlot& slot);
// Every layer released at once, the face table emptied (script reset, shutdown).
void layers_clear_all(engine::VmContext& vm);
// Per frame: shake offsets, ends of layer transitions, linked child layers.
void layers_frame_update(engine::VmContext& vm);

// The slot's transition handle, created on first use.
uint32_t layer_transition_handle(engine::LayerSlot& slot);
// Ends the slot's running transition: 0 when the platform refuses; a fade-out's layer is
// released at once (the platform owned its sprite). Nothing to do without one: 1.
uint32_t layer_transition_cancel(engine::VmContext& vm, engine::LayerSlot& slot);
// Shows or hides the face pictures (and their outgoing transition sprites) with the text window.
void face_view_ctrl(engine::VmContext& vm, int32_t show);
// 1 when layer 0-63 with child links has this image as a child layer's picture.
uint32_t layer_image_is_child(const engine::VmContext& vm, const ImageRecord* image);
// 1 when a face entry names the layer.
uint32_t is_face_layer(const engine::VmContext& vm, uint32_t layer);
// The slot index, or -1 for a pointer outside the layer array.
int32_t layer_index_of(const engine::VmContext& vm, const engine::LayerSlot* slot);

}  // namespace layers
