// Box primitives, in immediate mode: one glBegin/glEnd of six quads per box,
// inside its own pushed and popped matrix. No display lists, no batching.
#include "geometry/boxes.h"

#include <GL/gl.h>

namespace demo {

namespace {

struct Face {
    double shade[3];     // factor for red, green, blue
    float corner[4][3];  // counter-clockwise seen from outside
};

// The unit box's faces in the order they are sent. The darker faces lean blue
// and the front face leans warm, so shadows read slightly cool.
const Face faces[6] = {
    {{0.8, 0.8, 0.8}, {{1, 1, 1}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}}},       // +x
    {{0.7, 0.7, 0.75}, {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}},  // -x
    {{1.0, 1.0, 1.0}, {{1, 1, 1}, {1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}}},       // +y
    {{0.5, 0.5, 0.55}, {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}},  // -y
    {{0.9, 0.9, 0.85}, {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}},      // +z
    {{0.6, 0.6, 0.7}, {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}},   // -z
};

void sendCorners(const Face& face) {
    for (const float* v : face.corner)
        glVertex3f(v[0], v[1], v[2]);
}

}  // namespace

void drawBox(float x, float y, float z, float sx, float sy, float sz, float r, float g, float b) {
    glPushMatrix();
    glTranslatef(x, y, z);
    glScalef(sx * 0.5, sy * 0.5, sz * 0.5);
    glBegin(GL_QUADS);
    for (const Face& face : faces) {
        // NOTE: shade products are formed in double and rounded once to float.
        glColor3f(face.shade[0] * r, face.shade[1] * g, face.shade[2] * b);
        sendCorners(face);
    }
    glEnd();
    glPopMatrix();
}

void drawRotatedBox(float x, float y, float z, float sx, float sy, float sz, float angle, float ax,
                    float ay, float az, float r, float g, float b) {
    glPushMatrix();
    glTranslatef(x, y, z);
    glScalef(sx * 0.5, sy * 0.5, sz * 0.5);
    // NOTE: the rotation follows the scale in call order, so it turns the unit
    // cube first; unequal sizes then shear the turned cube.
    glRotatef(angle, ax, ay, az);
    drawBox(0, 0, 0, 2, 2, 2, r, g, b);
    glPopMatrix();
}

void drawBoxBetween(float x0, float y0, float z0, float x1, float y1, float z1, float r, float g,
                    float b) {
    drawBox((double(x0) + x1) * 0.5, (double(y0) + y1) * 0.5, (double(z0) + z1) * 0.5,
            double(x1) - x0, double(y1) - y0, double(z1) - z0, r, g, b);
}

void drawFlatBoxBetween(float x0, float y0, float z0, float x1, float y1, float z1, float r,
                        float g, float b) {
    glPushMatrix();
    glTranslatef((double(x0) + x1) * 0.5, (double(y0) + y1) * 0.5, (double(z0) + z1) * 0.5);
    glScalef((double(x1) - x0) * 0.5, (double(y1) - y0) * 0.5, (double(z1) - z0) * 0.5);
    glBegin(GL_QUADS);
    for (const Face& face : faces) {
        glColor3f(r, g, b);
        sendCorners(face);
    }
    glEnd();
    glPopMatrix();
}

}  // namespace demo
