// Box primitives: the only code that sends geometry to OpenGL.
//
// Every picture of the show is made of boxes. A box is the cube from -1 to +1
// on each axis, drawn as six GL_QUADS faces (24 vertices), moved into place
// by a translation and scaled by half its full size, so a full size s spans
// centre - s/2 to centre + s/2. Each face has a fixed shade factor, so one base
// colour reads as a lit solid although lighting is never enabled:
//
//   face  +x: 0.8 0.8 0.8    -x: 0.7 0.7 0.75   +y: 1 1 1 (base colour)
//         -y: 0.5 0.5 0.55   +z: 0.9 0.9 0.85   -z: 0.6 0.6 0.7
//
// Faces wind counter-clockwise seen from outside, so with back-face culling
// only faces turned towards the viewer are drawn.
//
// Units: positions and sizes in the units of the current modelview matrix,
// angles in degrees, colours as red, green, blue, normally 0..1 (OpenGL clamps
// the rest). Nothing is validated: zero or negative sizes collapse or mirror
// the box.
//
// GL state: expects GL_MODELVIEW as the current matrix mode; every primitive
// pushes the matrix first and pops it last, so the caller's matrix is
// unchanged. Called only on the thread that owns the GL context.
#pragma once

namespace demo {

// A shaded box centred on (x, y, z) with full size (sx, sy, sz).
void drawBox(float x, float y, float z, float sx, float sy, float sz, float r, float g, float b);

// A shaded box centred on (x, y, z), turned by angle degrees about the axis
// (ax, ay, az) before it is scaled: with unequal sizes the rotation shears it.
void drawRotatedBox(float x, float y, float z, float sx, float sy, float sz, float angle, float ax,
                    float ay, float az, float r, float g, float b);

// A shaded box spanning the corners (x0, y0, z0) and (x1, y1, z1). The corners
// are not sorted: a second corner below the first mirrors the box.
void drawBoxBetween(float x0, float y0, float z0, float x1, float y1, float z1, float r, float g,
                    float b);

// The same box as drawBoxBetween with every face in the one colour (r, g, b).
void drawFlatBoxBetween(float x0, float y0, float z0, float x1, float y1, float z1, float r,
                        float g, float b);

}  // namespace demo
