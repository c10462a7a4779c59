// The WebGL2 side of our immediate-mode layer (gl_layer.h): one context on
// the page's canvas, the 640x480 picture the show draws into, the quads
// drawn from clip coordinates, and the picture scaled onto the canvas.
//
// The picture is exactly 640x480 colour (8 bits a channel) and 24-bit depth,
// so the show draws the same pixels whatever the window. On a canvas of any
// other size it is an offscreen framebuffer, and presenting scales it onto
// the canvas as the desktop's full-screen mode does, with the same sharp
// scaling program (picture/sharp_scaling.h): into the largest 4:3 rectangle
// the canvas holds, centred between black bars; a whole multiple of the
// picture is one nearest-neighbour blit. A canvas of exactly 640x480 is the
// picture itself: frames are drawn straight into it, which saves the copy
// (a whole-screen pass costs a software renderer several milliseconds).
//
// The WebGL state is applied only where it differs from what was last set.
// Back faces never reach the device (the layer culls them), so WebGL's own
// culling stays off.
#pragma once

#include <cstdint>
#include <string>

#include "web/gl_layer.h"

namespace demo {

// The GL state a draw or a clear is made under.
struct DrawState {
    bool depthTest, blend, scissorTest;
    unsigned blendSrc, blendDst;  // GL enums
    int scissor[4];               // x, y, width, height in picture pixels
    int viewport[4];
};

// Creates the WebGL2 context on the canvas found by canvasSelector, the
// program, the buffers and the picture. False with the reason in problem when
// the browser gives no WebGL2 context.
bool openDevice(const char* canvasSelector, std::string& problem);

// Draws quadCount quads, four vertices each, that start at quad firstQuad of
// the frame: vertices points at that quad's first vertex. Quads of one frame
// are numbered from 0 and drawn in increasing order.
void drawQuads(const DrawState& state, const ClipVertex* vertices, int firstQuad, int quadCount);

// Clears the picture's colour (to colour, red, green, blue, alpha, each 0..1)
// and/or depth (to 1), as mask asks (GL_COLOR_BUFFER_BIT,
// GL_DEPTH_BUFFER_BIT), inside the scissor box when the scissor test is on.
void clearPicture(const DrawState& state, unsigned mask, const float colour[4]);

// The canvas's size in device pixels, from the next frame on.
void setCanvasSize(int width, int height);

// Reduced flashing on or off, from the next frame: while on, every frame is
// drawn offscreen and the picture put on the canvas is the reduced-flashing
// filter's (picture/flash_filter_shader.h), the first frame as it is.
void setReducedFlashing(bool on);

// Puts the picture on the canvas (see above) and ends the frame: the next
// draw starts a new one.
void presentPicture();

// Reads the canvas as presented, width x height pixels from the lower left,
// 4 bytes (RGBA) each, into rgba. Only between presentPicture and the return
// to the browser: the canvas is not kept after it is shown.
void readCanvas(int width, int height, std::uint8_t* rgba);

}  // namespace demo
