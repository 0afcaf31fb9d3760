// The view frustum and the per-slot culling of the repeated world: which of
// the 41 x 41 chunk slots around the player the renderer draws. Pure
// arithmetic on GL's column-major matrices, so the decisions can be checked
// without a window.
#pragma once

// Plane indices, in the order they are formed.
enum FrustumPlane {
    frustum_right = 0,
    frustum_left = 1,
    frustum_bottom = 2,
    frustum_top = 3,
    frustum_far = 4,
    frustum_near = 5,
};

// Six planes (a, b, c, d); p is on a plane's inner side when
// a*p.x + b*p.y + c*p.z + d > 0. Culling asks only which side a point is on,
// so the planes are left unnormalised.
struct Frustum {
    float planes[6][4] = {};
};

// The planes of the product projection * modelview, the matrix that takes a
// world point to clip space: with r0..r3 its rows, r3 - r0, r3 + r0, r3 + r1,
// r3 - r1, r3 - r2, r3 + r2.
Frustum frustum_from_matrices(const float projection[16], const float modelview[16]);

// True unless the axis-aligned cube (centre, half edge half_size) lies wholly
// outside one plane. Conservative near the frustum's corners; a corner on a
// plane (value exactly 0) counts as outside it.
bool cube_in_frustum(const Frustum& frustum, float x, float y, float z, float half_size);

// The slot window: slots pcx-20..pcx+20 by pcz-20..pcz+20.
constexpr int slot_radius = 20;
constexpr float slot_size = 5.0f;

// The slot under a world coordinate: floor(coordinate / 5). Coordinates
// beyond +-1e9 (and NaN) are held to that range so the slot arithmetic
// cannot overflow.
int slot_of(float coordinate);

// The chunk mesh a slot shows: (cx mod 10) * 10 + (cz mod 10), each taken
// into 0..9 also for negative slots.
int slot_mesh_index(int cx, int cz);

// What the renderer culls with. beyond_fog, when enabled, is a plane in
// front of the camera past which every fragment is fogged to pure black:
// slots wholly behind it would only paint black over black.
struct SlotCulling {
    Frustum frustum;
    bool skip_beyond_fog = false;
    float beyond_fog[4] = {};  // inner side: eye depth less than fog end plus margin
};

// Distance beyond the fog's end that a slot must lie before it is skipped:
// covers falling blocks lowered by up to a unit and rounding in the fog.
constexpr float fog_skip_margin = 2.0f;

// Turns on the skip of slots beyond the fog for the camera in modelview.
// fog_end is the linear fog's end distance; the skip is measured along the
// eye's depth axis, which never exceeds the radial distance some fog
// implementations use.
void enable_fog_skip(SlotCulling& culling, const float modelview[16], float fog_end);

// The culling for a view: the frustum of the two matrices, and the fog skip
// when asked for.
SlotCulling make_slot_culling(const float projection[16], const float modelview[16],
                              bool skip_beyond_fog, float fog_end);

// Solid pass: one of the five 5-unit cubes of the slot's column passes the
// frustum (tested bottom up, stopping at the first), and the slot is not
// wholly beyond the fog.
bool solid_slot_visible(const SlotCulling& culling, int cx, int cz);

// Water pass: the slot's lowest cube passes the frustum and the slot is not
// wholly beyond the fog.
bool water_slot_visible(const SlotCulling& culling, int cx, int cz);

constexpr int slot_window_count = (2 * slot_radius + 1) * (2 * slot_radius + 1);
