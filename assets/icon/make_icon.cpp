// Writes the program's icon: an SVG picture of three boxes as the show draws
// them, a deep blue and a violet box side by side and an orange one resting
// on both, seen from above, in front and to the right.
//   make-icon <output.svg>
// Each visible face carries the show's fixed shade factor for that face
// (geometry/boxes.h): the top (+y) the base colour, the front (+z)
// 0.9 0.9 0.85, the right side (+x) 0.8 0.8 0.8.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Colour {
    double r, g, b;
};

struct Box {
    double x0, y0, z0;  // the corner with the smallest coordinates
    double sx, sy, sz;  // full sizes
    Colour base;
};

// The show's palette: the font's blue, the fountain's violet plate and a
// young fountain particle's orange. Listed back to front: no box hides a
// part of one listed after it.
const Box boxes[] = {
    {-1.2, 0, 0, 1.2, 1.2, 1.2, {60 / 255.0, 60 / 255.0, 230 / 255.0}},
    {0, 0, 0, 1.2, 1.2, 1.2, {0.6, 0.5, 1.0}},
    {-0.45, 1.2, 0.15, 0.9, 0.9, 0.9, {1.0, 0.7, 0.1}},
};

struct Face {
    double corner[4][3];  // unit-box corners, 0 or 1 on each axis
    double shade[3];
};

const Face visibleFaces[] = {
    {{{0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}}, {1.0, 1.0, 1.0}},   // +y
    {{{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}, {0.9, 0.9, 0.85}},  // +z
    {{{1, 0, 0}, {1, 0, 1}, {1, 1, 1}, {1, 1, 0}}, {0.8, 0.8, 0.8}},   // +x
};

struct Polygon {
    double u[4], v[4];  // picture coordinates, v down
    int red, green, blue;
};

int channel(double value) { return static_cast<int>(std::lround(std::min(1.0, value) * 255)); }

// Isometric projection: x runs down to the right, z down to the left, y up.
void project(double x, double y, double z, double& u, double& v) {
    u = (x - z) * std::cos(M_PI / 6);
    v = (x + z) * std::sin(M_PI / 6) - y;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icon <output.svg>\n");
        return 2;
    }

    std::vector<Polygon> polygons;
    for (const Box& box : boxes) {
        for (const Face& face : visibleFaces) {
            Polygon p{};
            for (int i = 0; i < 4; ++i)
                project(box.x0 + face.corner[i][0] * box.sx, box.y0 + face.corner[i][1] * box.sy,
                        box.z0 + face.corner[i][2] * box.sz, p.u[i], p.v[i]);
            p.red = channel(box.base.r * face.shade[0]);
            p.green = channel(box.base.g * face.shade[1]);
            p.blue = channel(box.base.b * face.shade[2]);
            polygons.push_back(p);
        }
    }

    // Fit the picture into a 128-unit square with a margin of 4, centred.
    double uMin = 1e9, uMax = -1e9, vMin = 1e9, vMax = -1e9;
    for (const Polygon& p : polygons) {
        uMin = std::min(uMin, *std::min_element(p.u, p.u + 4));
        uMax = std::max(uMax, *std::max_element(p.u, p.u + 4));
        vMin = std::min(vMin, *std::min_element(p.v, p.v + 4));
        vMax = std::max(vMax, *std::max_element(p.v, p.v + 4));
    }
    const double scale = 120 / std::max(uMax - uMin, vMax - vMin);
    const double uOffset = 64 - (uMin + uMax) / 2 * scale;
    const double vOffset = 64 - (vMin + vMax) / 2 * scale;

    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" "
                 "viewBox=\"0 0 128 128\">\n"
                 "<g stroke-width=\"0.5\" stroke-linejoin=\"round\">\n");
    for (const Polygon& p : polygons) {
        // A hairline of the face's own colour closes the seams between faces.
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", p.red, p.green, p.blue);
        std::fprintf(out, "<polygon fill=\"%s\" stroke=\"%s\" points=\"", colour, colour);
        for (int i = 0; i < 4; ++i)
            std::fprintf(out, "%s%.2f,%.2f", i > 0 ? " " : "", uOffset + p.u[i] * scale,
                         vOffset + p.v[i] * scale);
        std::fprintf(out, "\"/>\n");
    }
    std::fprintf(out, "</g>\n</svg>\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
