// The sample loops of scenes 2, 5 and 6 written straight from each surface's
// definition, with every sine and cosine computed where it is used: what the
// show's table-driven loops must draw bit for bit.
//
// Each takes 240,000 rand() calls (the three draws of 80,000 samples) and
// draws one rotated box per sample in its band, turned back by the frame's
// angle; GL_MODELVIEW current with the cloud's frame on it.
#pragma once

namespace reference {

void sampleLobedShell(int elapsedMs);
void sampleBlobShell(int elapsedMs);
void sampleSphereShell(int elapsedMs);

// The blob field's three centres (x, y, z of each) and ripple phase at d
// milliseconds, from their definitions.
struct BlobCentres {
    double c[3][3];
    double t;
};
BlobCentres blobCentres(double d);

// The values the blob field and the rippled sphere take at a point.
double blobField(const BlobCentres& f, double x, double y, double z);
double sphereField(double d, double x, double y, double z);

}  // namespace reference
