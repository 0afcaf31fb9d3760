#include "render/limb.h"

#include "render/matrix.h"
#include "sim/player.h"

#include <cmath>

LimbPose limb_pose(const Vec3& root, const Vec3& end, bool flip_when_raised) {
    LimbPose pose;
    float dx = root.x - end.x, dy = root.y - end.y, dz = root.z - end.z;
    float length = std::sqrt(dx * dx + dy * dy + dz * dz);
    float h = std::sqrt(dx * dx + dz * dz);
    if (!std::isfinite(length)) {
        // Straight down, both segments in line.
        pose.upper_bend_degrees = 0.0f;
        pose.lower_fold_degrees = -90.0f;
        pose.lower_reach_degrees = 90.0f;
        return pose;
    }
    pose.flipped = flip_when_raised && !(end.y < root.y);

    // A level end: h / 0 would be +inf and tilt +90 degrees, which the
    // turned-over frame mirrors to the wrong side; it needs -90 there. An end
    // on the root has no direction at all: hang straight down.
    float tilt;
    if (dy == 0.0f) tilt = h == 0.0f ? 0.0f : (pose.flipped ? -quarter_turn : quarter_turn);
    else tilt = std::atan(h / dy);

    // Beyond reach the limb stretches straight towards the end.
    float half = length * 0.5f;
    if (half > 1.0f) half = 1.0f;
    float bend = std::acos(half);
    float reach = std::asin(half);

    pose.yaw_degrees = to_degrees(std::atan2(dx, dz)) - 180.0f;
    pose.upper_tilt_degrees = to_degrees(-tilt);
    pose.upper_bend_degrees = to_degrees(bend);
    pose.lower_fold_degrees = to_degrees(-bend) - 90.0f;
    pose.lower_reach_degrees = to_degrees(reach);
    return pose;
}
