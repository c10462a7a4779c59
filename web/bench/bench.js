// The browser benchmark's page (web/bench/run.mjs drives it): for each scene,
// the desktop benchmark's series of frames (the show from the top, then
// elapsedMs = 0, 60, ..., 15300), three ways:
//   sink   the scene code over the do-nothing GL sink: the code's own time;
//   layer  over our GL layer into the canvas, each frame waited for with a
//          one-pixel read: the CPU time of the scene call (the code, our
//          layer and the WebGL calls it makes) and the whole frame's time,
//          with the layer's draw calls; then the series again back to back,
//          as the show runs, waited for only at its end: the time per frame
//          when the browser's renderer works while the next frame is made;
//   floor  every 16th frame's quads, as our layer sent them, uploaded once
//          to a second canvas and drawn there in one draw call after one
//          clear: the least the browser's renderer takes for that picture.

const frames = 256;
const stepMs = 60;
const floorEvery = 16;
const floorRepeats = 5;
const clipVertexBytes = 20; // x, y, z, w floats and four colour bytes

const now = () => performance.now();

function median(values) {
    return percentile(values, 0.5);
}

// Nearest rank, as the desktop benchmark reports.
function percentile(values, p) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.max(0, Math.ceil(p * sorted.length) - 1)];
}

async function openPrograms() {
    const font = new Uint8Array(await (await fetch('fontpre.tga')).arrayBuffer());
    const programs = { layer: await createBenchLayer(), sink: await createBenchSink() };
    for (const program of Object.values(programs)) {
        program.FS.writeFile('fontpre.tga', font);
        if (!program._benchOpen()) throw new Error('the benchmark cannot open its canvas or font');
    }
    return programs;
}

// The floor's own context: the layer's shader, depth test, nothing else.
function openFloor() {
    const gl = document.getElementById('floor').getContext('webgl2', { antialias: false, alpha: false });
    const shader = (kind, source) => {
        const s = gl.createShader(kind);
        gl.shaderSource(s, source);
        gl.compileShader(s);
        return s;
    };
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER, `#version 300 es
in vec4 position; in vec4 colour; flat out vec4 quadColour;
void main() { gl_Position = position; quadColour = colour; }`));
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER, `#version 300 es
precision highp float; flat in vec4 quadColour; out vec4 fragColour;
void main() { fragColour = quadColour; }`));
    gl.bindAttribLocation(program, 0, 'position');
    gl.bindAttribLocation(program, 1, 'colour');
    gl.linkProgram(program);
    gl.useProgram(program);
    gl.bindVertexArray(gl.createVertexArray());
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 4, gl.FLOAT, false, clipVertexBytes, 0);
    gl.enableVertexAttribArray(1);
    gl.vertexAttribPointer(1, 4, gl.UNSIGNED_BYTE, true, clipVertexBytes, 16);
    const quads = 1 << 17;
    const indices = new Uint32Array(quads * 6);
    for (let q = 0; q < quads; ++q) indices.set([0, 1, 3, 1, 2, 3].map((i) => 4 * q + i), 6 * q);
    gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, gl.createBuffer());
    gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, indices, gl.STATIC_DRAW);
    gl.enable(gl.DEPTH_TEST);
    const pixel = new Uint8Array(4);
    // The quads' time: uploaded once, then cleared and drawn, each waited for.
    return (vertices) => {
        gl.bufferData(gl.ARRAY_BUFFER, vertices, gl.STATIC_DRAW);
        const times = [];
        for (let i = 0; i < floorRepeats; ++i) {
            const start = now();
            gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
            gl.drawElements(gl.TRIANGLES, (vertices.length / clipVertexBytes / 4) * 6, gl.UNSIGNED_INT, 0);
            gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
            times.push(now() - start);
        }
        return median(times);
    };
}

async function runBench() {
    const { layer, sink } = await openPrograms();
    const drawFloor = openFloor();
    const gl = document.getElementById('show').getContext('webgl2'); // the layer's context
    const pixel = new Uint8Array(4);
    const waitForFrame = () => gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    const scenes = [];
    for (let scene = 0; scene < 6; ++scene) {
        const sceneMs = [];
        sink._benchStartSeries();
        for (let f = 0; f < frames; ++f) {
            const start = now();
            sink._benchFrame(scene, f * stepMs);
            sceneMs.push(now() - start);
        }

        // two frames to settle, then the series
        layer._benchStartSeries();
        for (let f = 0; f < 2; ++f) {
            layer._benchFrame(scene, 0);
            waitForFrame();
        }
        layer._benchStartSeries();
        const cpuMs = [];
        const frameMs = [];
        const drawCalls = [];
        const floorMs = [];
        for (let f = 0; f < frames; ++f) {
            const start = now();
            layer._benchFrame(scene, f * stepMs);
            const issued = now();
            waitForFrame();
            frameMs.push(now() - start);
            cpuMs.push(issued - start);
            const counts = new Int32Array(layer.HEAP32.buffer, layer._benchFrameCounts(), 4);
            drawCalls.push(counts[0]);
            if (f % floorEvery === floorEvery / 2) {
                const at = layer._benchFrameVertices();
                floorMs.push(drawFloor(layer.HEAPU8.slice(at, at + counts[2] * 4 * clipVertexBytes)));
            }
        }

        // the series again back to back, as the show runs: waited for once
        layer._benchStartSeries();
        const start = now();
        for (let f = 0; f < frames; ++f) layer._benchFrame(scene, f * stepMs);
        waitForFrame();
        const backToBackMs = (now() - start) / frames;

        scenes.push({
            scene: scene + 1,
            backToBackMs,
            sceneMs: median(sceneMs),
            cpuMs: median(cpuMs),
            layerMs: median(cpuMs) - median(sceneMs),
            frameMs: median(frameMs),
            frameMs99: percentile(frameMs, 0.99),
            drawCalls: median(drawCalls),
            floorMs: median(floorMs),
        });
    }
    return scenes;
}

window.runBench = runBench;
