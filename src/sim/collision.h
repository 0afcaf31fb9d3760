// Collision queries over the repeating world's collision lists: push a sphere
// out of every surface it overlaps, and clip a segment at the first surface
// it crosses. Whatever the lists hold is solid; nothing else is (falling
// blocks never collide).
//
// Positions are world coordinates and are never wrapped: a chunk column c
// outside 0..9 picks the lists of c mod 10 while the position is shifted by
// the unreduced 5c, so the geometry repeats every 50 units in x and z.
#pragma once

#include "sim/game.h"
#include "sim/vecmath.h"
#include "world/world.h"

// Moves the sphere centre p out of the block and ground surfaces it
// overlaps: per chunk the sphere's square touches (cx, then cz ascending),
// block faces, ground faces, block edges, ground edges. Returns true when
// any face or edge pushed it. A non-finite p is left alone (false).
bool collide_sphere(const World& world, Vec3& p, float radius);

// collide_sphere for a body that has just moved from `from` to p. A face
// only pushes a centre on its open side, so a step longer than the radius
// (a jump, a fall, a fly, a rope swing, a shove) can carry the centre past a
// face, where nothing pushes it back; so can two surfaces closer than a
// body's width pushing it in turn. When the path from `from` to where
// collide_sphere left the centre enters a surface from its open side, the
// centre is set back to radius in front of that face, keeping its motion
// along it, and collided again; if it still cannot be kept out, the body
// stays at `from`. Where the path enters nothing, p is exactly what
// collide_sphere gives. Returns true when anything pushed the body.
bool collide_moving_sphere(const World& world, Vec3 from, Vec3& p, float radius);

// Shortens the segment start..end so it ends at its first crossing with a
// surface, whatever the order of the triangles. Returns true when it crossed
// one; end is then the crossing. Non-finite ends are left alone (false).
// A crossing on a triangle's edge or corner, which point_in_triangle turns
// down, stops the segment when it lies before where the crossings inside
// triangles left the end, and that end lies more than edge_slack beyond
// the triangle's plane.
bool clip_segment(const World& world, Vec3 start, Vec3& end);

// How far beyond an edge crossing's plane the clipped end must lie for the
// edge crossing to count: far more than the rounding between two
// triangles' crossings of one edge, so where a neighbour already stopped
// the segment, its crossing stands.
constexpr float edge_slack = 1.0e-3f;

// One pass of collide_sphere over one list, p in the list's chunk-local
// coordinates. face_pass pushes a centre whose projection lies inside a
// triangle to exactly radius in front of its plane; edge_pass pushes it to
// radius from the nearest point of each edge it is closer to than radius.
// Only the free side of a triangle pushes.
bool collide_sphere_with_list(Vec3& p, float radius, const CollisionList& list,
                              bool face_pass, bool edge_pass);

// Clips start..end (chunk-local) against every triangle of the list whose
// plane it strictly crosses inside the triangle.
bool clip_segment_with_list(Vec3 start, Vec3& end, const CollisionList& list);

// Inside test: the three angles P sees the edges under add up (in double)
// to at least this; 0.99 of a full turn.
constexpr double inside_angle_sum = 6.220353447;

// Unit normal of the plane through a, b, c: normalize((c - a) x (b - a)).
Vec3 triangle_plane_normal(Vec3 a, Vec3 b, Vec3 c);
// Plane m . x + plane_d = 0: true when s and e lie strictly on opposite sides.
bool segment_crosses_plane(Vec3 m, float plane_d, Vec3 s, Vec3 e);
// Where the line from s towards e meets the plane; s when it runs parallel.
Vec3 line_plane_intersection(Vec3 m, float plane_d, Vec3 s, Vec3 e);
// acos(u.v / (|u| |v|)) without clamping: NaN for a zero vector.
double angle_between(Vec3 u, Vec3 v);
// True when P lies inside the triangle (or close to it within its plane). A
// P on a corner gives NaN angles and counts as outside.
// The sum of the angles P's corner vectors make; NaN on an edge or corner.
double triangle_angle_sum(Vec3 p, Vec3 a, Vec3 b, Vec3 c);
bool point_in_triangle(Vec3 p, Vec3 a, Vec3 b, Vec3 c);
// point_in_triangle with the edges and corners counted in, for crossings:
// on an edge the rounded cosine can fall just below -1, and on a corner
// there is no angle at all, which would let a segment slip between the
// triangles that share that edge or corner. Agrees with point_in_triangle
// wherever that one gets a number.
bool point_on_triangle(Vec3 p, Vec3 a, Vec3 b, Vec3 c);
// The point of segment a..b nearest to p; a when a and b coincide.
Vec3 closest_point_on_segment(Vec3 a, Vec3 b, Vec3 p);
