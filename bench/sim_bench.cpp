// Simulation timings on a generated world. The update is measured with the
// player standing on the ground, 5 seekers closing in and 100 shot balls in
// flight; every iteration starts from the same snapshot of the game, so the
// balls never come to rest. Baselines in the same run: the snapshot copy
// alone, the world's own share of an update (water, fall clock), and the
// clip done the plain way, every triangle in full.
#include "sim/collision.h"
#include "sim/player.h"
#include "sim/update.h"
#include "sim/vecmath.h"
#include "sim_helpers.h"
#include "world/settle.h"
#include "world/water.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

float uniform(float lo, float hi) {
    return lo + (hi - lo) * static_cast<float>(std::rand()) / static_cast<float>(RAND_MAX);
}

struct Scene {
    std::unique_ptr<World> world = generated_world(2024);
    std::unique_ptr<Game> start = std::make_unique<Game>();
    std::unique_ptr<Game> game = std::make_unique<Game>();
    Input input = centred_input();

    Scene() {
        Game& g = *start;
        g.player_pos = vec3(25.0f, 10.0f, 25.0f);
        g.camera_pos = g.player_pos;
        // Let the player land and the first seekers spawn.
        for (int i = 0; i < 120; ++i) update_game(g, *world, input, 1.0f);
        g.ball_count = 0;
        g.ball_kind_count[ShotBall] = g.ball_kind_count[Seeker] = 0;
        std::srand(99);
        for (int i = 0; i < 5; ++i) {
            float a = uniform(0.0f, 6.2831853f), r = uniform(10.0f, 60.0f);
            Ball& b = g.balls[g.ball_count++];
            b.kind = Seeker;
            b.pos = vec3(g.player_pos.x + r * std::cos(a), 12.5f, g.player_pos.z + r * std::sin(a));
            ++g.ball_kind_count[Seeker];
        }
        for (int i = 0; i < 100; ++i) {
            float a = uniform(0.0f, 6.2831853f), r = uniform(0.0f, 20.0f);
            Ball& b = g.balls[g.ball_count++];
            b.kind = ShotBall;
            b.pos = vec3(g.player_pos.x + r * std::cos(a), uniform(3.0f, 20.0f),
                         g.player_pos.z + r * std::sin(a));
            b.vel = normalize(vec3(uniform(-1, 1), uniform(-1, 1), uniform(-1, 1))) * 0.75f;
            ++g.ball_kind_count[ShotBall];
        }
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void run_update(benchmark::State& state, float fall_offset, float yaw = 0.0f, float pitch = 0.0f) {
    Scene& s = scene();
    for (auto _ : state) {
        *s.game = *s.start;
        s.game->player_yaw = yaw;
        s.game->player_pitch = pitch;
        s.world->fall_offset = fall_offset;
        update_game(*s.game, *s.world, s.input, 1.0f);
        benchmark::DoNotOptimize(s.game->aim_point);
    }
}

void BM_UpdateGame(benchmark::State& state) { run_update(state, 0.0f); }
BENCHMARK(BM_UpdateGame)->Unit(benchmark::kMicrosecond)->Repetitions(7)->ReportAggregatesOnly(true);

// The costliest view found: diagonal across the chunks and down through
// the ground, so the ray's box covers 8 x 8 chunks and crosses the floor's
// and the ground's planes in all of them.
void BM_UpdateGameLookingDownDiagonally(benchmark::State& state) { run_update(state, 0.0f, 0.785398f, 0.3f); }
BENCHMARK(BM_UpdateGameLookingDownDiagonally)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// fall_offset 0.95 makes every update take a settling step with its rebuilds.
void BM_UpdateGameWithSettlingStep(benchmark::State& state) { run_update(state, 0.95f); }
BENCHMARK(BM_UpdateGameWithSettlingStep)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// Baseline: the snapshot copy every update iteration pays.
void BM_SnapshotCopy(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        *s.game = *s.start;
        benchmark::DoNotOptimize(s.game->balls[0].pos);
    }
}
BENCHMARK(BM_SnapshotCopy)->Unit(benchmark::kMicrosecond);

// Baseline: the world's share of an update without a settling step.
void BM_WorldShareOfUpdate(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        s.world->fall_offset = 0.0f;
        animate_water(*s.world, 1.0f);
        advance_falling(*s.world, 1.0f);
        benchmark::DoNotOptimize(s.world->water_height[0][0]);
    }
}
BENCHMARK(BM_WorldShareOfUpdate)->Unit(benchmark::kMicrosecond);

// The 50-unit view ray from the over-the-shoulder camera; the arguments are
// the yaw in degrees (0 runs along one chunk column, 45 crosses the most)
// and the pitch in hundredths of a radian (30 looks down into the ground).
template <bool Plain>
void clip_view_ray(benchmark::State& state) {
    Scene& s = scene();
    Game g = *s.start;
    g.player_yaw = static_cast<float>(state.range(0)) * 0.0174532925f;
    g.player_pitch = static_cast<float>(state.range(1)) * 0.01f;
    place_view(g, *s.world, s.input);
    Vec3 v = view_direction(g);
    for (auto _ : state) {
        Vec3 end = g.camera_pos + v * 50.0f;
        benchmark::DoNotOptimize(Plain ? plain_clip(*s.world, g.camera_pos, end)
                                       : clip_segment(*s.world, g.camera_pos, end));
        benchmark::DoNotOptimize(end);
    }
}
void BM_ClipViewRay(benchmark::State& state) { clip_view_ray<false>(state); }
void BM_ClipViewRayPlain(benchmark::State& state) { clip_view_ray<true>(state); }
BENCHMARK(BM_ClipViewRayPlain)
    ->Args({0, 0})
    ->Args({45, 30})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClipViewRay)
    ->Args({0, 0})
    ->Args({0, 30})
    ->Args({45, 0})
    ->Args({45, 30})
    ->Unit(benchmark::kMicrosecond);

// One shot ball's step: a 0.75-unit segment in open air.
template <bool Plain>
void clip_short_segment(benchmark::State& state) {
    Scene& s = scene();
    Vec3 from = s.start->player_pos + vec3(0.3f, 4.0f, 0.2f);
    for (auto _ : state) {
        Vec3 end = from + vec3(0.5f, -0.3f, 0.47f);
        benchmark::DoNotOptimize(Plain ? plain_clip(*s.world, from, end) : clip_segment(*s.world, from, end));
        benchmark::DoNotOptimize(end);
    }
}
void BM_ClipShortSegment(benchmark::State& state) { clip_short_segment<false>(state); }
void BM_ClipShortSegmentPlain(benchmark::State& state) { clip_short_segment<true>(state); }
BENCHMARK(BM_ClipShortSegmentPlain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClipShortSegment)->Unit(benchmark::kMicrosecond);

// The player's body, resting on the ground after the pull moved it down.
void BM_CollidePlayer(benchmark::State& state) {
    Scene& s = scene();
    Vec3 resting = s.start->player_pos - vec3(0.0f, 0.01f, 0.0f);
    for (auto _ : state) {
        Vec3 p = resting;
        benchmark::DoNotOptimize(collide_sphere(*s.world, p, player_radius));
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_CollidePlayer)->Unit(benchmark::kMicrosecond);

// The player's collision as the update runs it: the same push, then the
// check that the step from the last update's centre entered no surface.
// Baseline: BM_CollidePlayer, the push alone.
void BM_CollideMovingPlayer(benchmark::State& state) {
    Scene& s = scene();
    Vec3 from = s.start->player_pos, resting = from - vec3(0.0f, 0.01f, 0.0f);
    for (auto _ : state) {
        Vec3 p = resting;
        benchmark::DoNotOptimize(collide_moving_sphere(*s.world, from, p, player_radius));
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_CollideMovingPlayer)->Unit(benchmark::kMicrosecond);

}  // namespace
