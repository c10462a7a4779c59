// The sample loops as defined. See reference_loops.h.
#include "tests/scenes/reference_loops.h"

#include <cmath>

#include "geometry/boxes.h"
#include "scenes/greetings.h"
#include "scenes/random.h"
#include "scenes/rippling_sphere.h"

namespace reference {

using demo::rand;

// 100 passes of 800 points, each coordinate (rand() % 100) x 0.04 - 2 held
// as a float, x first.
template <class Point>
void forEachLatticePoint(Point point) {
    for (int pass = 0; pass < 100; ++pass) {
        for (int i = 0; i < 800; ++i) {
            const float x = (rand() % 100) * 0.04 - 2;
            const float y = (rand() % 100) * 0.04 - 2;
            const float z = (rand() % 100) * 0.04 - 2;
            point(x, y, z);
        }
    }
}

void sampleLobedShell(int elapsedMs) {
    const float spin = -0.1 * elapsedMs;
    for (int outer = 0; outer < 100; ++outer) {
        for (int inner = 0; inner < 800; ++inner) {
            const int d1 = demo::draw(), d2 = demo::draw(), d3 = demo::draw();
            const float radius = 0.04 * d1;  // 0 to 3.96
            const float u = 0.01 * d2;       // azimuth fraction, 0 to 0.99
            const float v = 0.005 * d3;      // polar fraction, 0 to 0.495
            const double s = radius + 0.4 * std::sin((u * 20.0) * 1.57079634);
            if (!(s > 1.5 && s < 1.53)) continue;
            const double theta = 6.28 * u, phi = 6.28 * v;
            const float x = double(radius) * std::sin(theta) * std::sin(phi);
            const float y = double(radius) * std::cos(phi);
            const float z = double(radius) * std::cos(theta) * std::sin(phi);
            demo::drawRotatedBox(x, y, z, 0.1, 0.1, 0.1, spin, 1, 0.3, -0.5, 0.8 * v + u + 0.1,
                                 0.6 * u + v, 1);
        }
    }
}

BlobCentres blobCentres(double d) {
    return {{{std::sin(0.006 * d), std::sin(0.0047 * d + 2), std::cos(0.00117 * d + 1)},
             {std::sin(0.0037 * d + 2), std::sin(0.0017 * d + 1), std::cos(0.0013 * d + 1)},
             {std::sin(0.007 * d + 2), std::sin(0.0011 * d + 1), std::cos(0.003 * d + 1)}},
            0.0011 * d};
}

double blobField(const BlobCentres& f, double x, double y, double z) {
    double inverse[3];
    for (int k = 0; k < 3; ++k) {
        const double* c = f.c[k];
        inverse[k] =
            1 / ((c[0] - x) * (c[0] - x) + (c[1] - y) * (c[1] - y) + (c[2] - z) * (c[2] - z));
    }
    return inverse[0] + inverse[1] + inverse[2] + 0.25 * std::sin(5 * x + f.t + 1);
}

double sphereField(double d, double x, double y, double z) {
    return x * x + y * y + z * z +
           d * (d * (d * 3e-12 * std::cos(14 * z + 0.003 * d) +
                     3e-8 * std::cos(4 * y + 0.001 * d)) +
                5e-5 * std::sin(5 * x + 0.002 * d));
}

void sampleBlobShell(int elapsedMs) {
    const double d = elapsedMs;
    const BlobCentres f = blobCentres(d);
    const float cubeAngle = d * -0.1;
    forEachLatticePoint([&](float x, float y, float z) {
        if (demo::inBlobShellBand(blobField(f, x, y, z))) {
            demo::drawRotatedBox(x, y, z, 0.07, 0.07, 0.07, cubeAngle, 1, 0.3, -0.5, 0.4 * x + 0.8,
                                 0.2 * z + 0.1 * y, 0.3 * (double(y) + z + 1));
        }
    });
}

void sampleSphereShell(int elapsedMs) {
    const double d = elapsedMs;
    const float cubeAngle = d * -0.1;
    forEachLatticePoint([&](float x, float y, float z) {
        if (demo::inSphereShellBand(sphereField(d, x, y, z))) {
            demo::drawRotatedBox(x, y, z, 0.06, 0.06, 0.06, cubeAngle, 1, 0.3, -0.5,
                                 0.8 * z + y + 0.1, 0.6 * y + z, 1);
        }
    });
}

}  // namespace reference
