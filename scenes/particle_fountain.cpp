// Scene 4: the particle fountain (music orders 6 and 7).
//
// On white, a violet-blue square plate seen from above and in front, drawn as
// 4-pixel strips each turned 2 degrees further than the strip above, so the
// plate looks twisted down the screen; the whole picture swings back and forth
// about the vertical axis. From the middle of the plate a fountain of small
// tumbling cubes rises, arcs over and bounces on the plate's plane, spreading
// far beyond its edges; each cube shrinks to nothing over its 2.56 s of life
// while its colour turns from orange toward purple.
//
// Per frame: up to 20 simulation steps of 10 ms (none when less than 10 ms of
// elapsedMs has passed since the last frame), each calling rand() 64 + 3 x 2048
// times plus once per bounce; 120 plate boxes and 2048 cubes.
//
// GL state left: depth test on, scissor test off with the box (0, 0, 640, 24),
// GL_MODELVIEW current with the camera and the swing on it. Blending is never
// touched: it stays as scene 3's last frame left it.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "geometry/boxes.h"
#include "scenes/frame.h"
#include "scenes/particle_fountain.h"
#include "scenes/random.h"
#include "scenes/scenes.h"

namespace demo {

static ParticlePool pool = {{}, 0, -1};

const ParticlePool& particlePool() { return pool; }

void resetParticlePool() { pool = ParticlePool{{}, 0, -1}; }

void restoreParticlePool(const ParticlePool& saved) { pool = saved; }

void resetParticles() {
    // Far above the view and beyond the far plane until spawned.
    for (Particle& p : pool.particles)
        p = Particle{0, 9999, 0, 0, -14, 0, 0, 0, 1, 0, 0, 256};
}

// Overwrites one record with a fresh cube: eight rand() calls in a fixed order.
static void spawnParticle(Particle& p) {
    p.vx = (rand() % 101 - 50) * 0.0008;
    p.vy = (rand() % 101) * 0.0002 + 0.04;
    p.vz = (rand() % 101 - 50) * 0.0008;
    // Start on the far side of the centre from where the cube heads, so it
    // crosses over the middle of the plate on its way out.
    p.x = double(p.vx) * -20.0f;
    p.y = 0;
    p.z = double(p.vz) * -20.0f;
    p.ax = (rand() % 101 - 50) * 0.0002;
    p.ay = (rand() % 101 - 50) * 0.0002;
    p.az = (rand() % 101 - 50) * 0.0002;
    p.angle = (rand() % 100) * 3.6;  // NOTE: modulo 100, not 101: 0 to 356.4 degrees
    p.spin = (rand() % 101 - 50) * 0.072;
    p.life = 256;
}

void moveParticle(Particle& p) {
    p.vy = p.vy - 0.0007;
    p.angle = double(p.angle) + p.spin;
    // NOTE: tests the height the previous step left, so a cube that ended a
    // step below the plane bounces even while it is still rising.
    if (p.y < 0.0f) {
        p.vy = p.vy * -0.5;
        p.y = p.y * -1.0f;
        p.spin = (rand() % 101 - 50) * 0.072;
    }
    // NOTE: offset 30, not 50: the factor runs from -3.0 to 7.0, mean 2.0.
    p.x = p.x + ((rand() % 101 - 30) * double(p.vx)) * 0.1;
    p.y = p.y + ((rand() % 101 - 30) * double(p.vy)) * 0.1;
    p.z = p.z + ((rand() % 101 - 30) * double(p.vz)) * 0.1;
    p.life = p.life - 1;
}

void stepParticles() {
    // eight spawns into the ring
    for (int i = 0; i < 8; ++i) {
        spawnParticle(pool.particles[pool.spawnIndex]);
        pool.spawnIndex = pool.spawnIndex + 1;
        if (pool.spawnIndex == particleCount) pool.spawnIndex = 0;
    }

    // gravity, tumble, bounce, jittered move and ageing of every record
    for (Particle& p : pool.particles)
        moveParticle(p);
}

void scene4(int elapsedMs) {
    // pool start state on the scene's first frame
    if (pool.lastTick == -1) {
        resetParticles();
        pool.lastTick = 0;
    }

    // simulation: one step per 10 ms, at most 20 per frame
    const int tick = elapsedMs / 10;
    const int steps = std::min(tick - pool.lastTick, 20);
    for (int i = 0; i < steps; ++i)
        stepParticles();
    // NOTE: the tick is taken even when the cap dropped steps: after a slow
    // frame the simulation stays behind and never catches up.
    pool.lastTick = tick;

    // camera above and in front; blending is left as it is
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_SCISSOR_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 3, 6, 0, 0, 0, 0, 1, 0);

    // swing about the vertical axis, period about 10.5 s
    glRotatef(360 * std::sin(elapsedMs * 0.0006), 0, 1, 0);

    // twisted plate: each pass clears a 24-row band and draws the plate in it
    // turned 2 degrees further; the next pass, 4 rows lower, wipes all but the
    // top 4 rows
    for (int y = 476; y > -4; y -= 4) {
        clearRect(0, y, 640, 24, 4, 1, 1);  // NOTE: red 4 clamps to 1: white
        glRotatef(2, 0, 1, 0);
        drawBoxBetween(-4, -0.1f, -4, 4, 0, 4, 0.6f, 0.5f, 1.0f);
    }
    glRotatef(-240, 0, 1, 0);  // back to the swing alone
    glDisable(GL_SCISSOR_TEST);

    // particles, spawned or not, shrinking and cooling with age
    for (const Particle& p : pool.particles) {
        const float s = p.life * 0.001;
        const float red = 0.7 + p.life * 0.001171875, green = 0.3 + p.life * 0.0015625,
                    blue = 0.7 - p.life * 0.00234375;
        drawRotatedBox(p.x, p.y, p.z, s, s, s, p.angle, p.ax, p.ay, p.az, red, green, blue);
    }
}

}  // namespace demo
