// The scene code compiled for the browser makes the desktop's calls: the
// call-stream program (call_stream.cpp), built natively and with Emscripten,
// writes the GL calls and rand() draws of the same frames of every scene;
// both streams must hold the same calls and draws in the same order, every
// number equal within a relative 1e-5 (Emscripten's sine and cosine may
// differ from glibc's in the last bit).
//
// Run by scripts/web.sh --test, with the builds it makes (DEMO_NATIVE_BUILD,
// DEMO_WEB_BUILD override them).

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const nativeBuild = process.env.DEMO_NATIVE_BUILD ?? path.join(root, 'build-web/native');
const webBuild = process.env.DEMO_WEB_BUILD ?? path.join(root, 'build-web/wasm');
const tolerance = 1e-5;

// Record kinds of call_stream.cpp; below 200, glrec::Fn in order.
const callNames = [
    'glEnable', 'glDisable', 'glShadeModel', 'glViewport', 'glMatrixMode', 'glLoadIdentity',
    'glPushMatrix', 'glPopMatrix', 'glTranslatef', 'glScalef', 'glRotatef', 'glBegin', 'glEnd',
    'glColor3f', 'glVertex3f', 'glScissor', 'glClearColor', 'glClear', 'glBlendFunc',
    'gluPerspective', 'gluLookAt',
];
const randKind = 200;
const frameKind = 201;

function* records(buffer) {
    const view = new DataView(buffer.buffer, buffer.byteOffset, buffer.byteLength);
    for (let at = 0; at < buffer.length;) {
        const kind = buffer[at];
        const values = [];
        for (let i = 0; i < buffer[at + 1]; ++i) values.push(view.getFloat64(at + 2 + 8 * i, true));
        const next = at + 2 + 8 * values.length;
        yield { kind, values, at, next };
        at = next;
    }
}

function describe(record) {
    if (!record) return 'the end of the stream';
    const name = record.kind === randKind ? 'rand() ->' : record.kind === frameKind ? 'frame' : callNames[record.kind] ?? `call ${record.kind}`;
    return `${name}(${record.values.join(', ')})`;
}

function closeEnough(a, b) {
    return a === b || Math.abs(a - b) <= tolerance * Math.max(Math.abs(a), Math.abs(b));
}

// Walks both streams side by side. Gives the first mismatch (null if none),
// the records compared, the frames seen, and how far numbers drifted apart.
export function compareStreams(expected, actual) {
    const a = records(expected);
    const b = records(actual);
    let compared = 0;
    let frames = 0;
    let differing = 0;
    let largest = 0;
    let frame = 'start-up';
    for (;;) {
        const x = a.next().value;
        const y = b.next().value;
        if (!x && !y) return { mismatch: null, compared, frames, differing, largest };
        const same =
            x && y && x.kind === y.kind && x.values.length === y.values.length && x.values.every((v, i) => closeEnough(v, y.values[i]));
        if (!same) {
            return {
                mismatch: `record ${compared} (in ${frame}): desktop ${describe(x)}, browser ${describe(y)}`,
                compared, frames, differing, largest,
            };
        }
        if (x.kind === frameKind) {
            frame = `scene ${x.values[0]} at ${x.values[1]} ms`;
            ++frames;
        }
        x.values.forEach((v, i) => {
            if (v === y.values[i]) return;
            ++differing;
            largest = Math.max(largest, Math.abs(v - y.values[i]) / Math.max(Math.abs(v), Math.abs(y.values[i])));
        });
        ++compared;
    }
}

let streams = null;
function writeStreams() {
    if (streams) return streams;
    const folder = mkdtempSync(path.join(tmpdir(), 'call-stream-'));
    try {
        const font = path.join(nativeBuild, 'fontpre.tga');
        const desktop = path.join(folder, 'desktop.bin');
        const browser = path.join(folder, 'browser.bin');
        execFileSync(path.join(nativeBuild, 'tests/web/call-stream'), [desktop, font]);
        execFileSync(process.execPath, [path.join(webBuild, 'tests/web/call-stream.js'), browser, font]);
        streams = { desktop: readFileSync(desktop), browser: readFileSync(browser) };
        return streams;
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

// The offsets of the first record of kind after skipping `after` bytes.
function find(buffer, kind, after) {
    for (const record of records(buffer)) if (record.at >= after && record.kind === kind) return record;
    throw new Error(`no ${callNames[kind]} after byte ${after}`);
}

test('the browser build of the scenes makes the desktop build\'s calls and rand() draws', (t) => {
    const { desktop, browser } = writeStreams();
    const result = compareStreams(desktop, browser);
    assert.equal(result.mismatch, null);
    assert.equal(result.frames, 12, 'two frames of each of the six scenes');
    assert.ok(result.compared > 1_500_000, `only ${result.compared} records`);
    t.diagnostic(`${result.compared} records, ${result.differing} numbers not bit-identical, largest relative difference ${result.largest}`);
});

test('the comparison fails on a swapped call, a number off by more than 1e-5 or a missing draw', () => {
    const { desktop } = writeStreams();
    const middle = desktop.length >> 1;
    const changed = (edit) => {
        const copy = Buffer.from(desktop);
        edit(copy);
        return compareStreams(desktop, copy);
    };

    // a colour and the vertex after it, swapped
    const colour = find(desktop, callNames.indexOf('glColor3f'), middle);
    const vertex = find(desktop, callNames.indexOf('glVertex3f'), colour.next);
    assert.equal(vertex.at, colour.next);
    const swapped = changed((copy) => {
        Buffer.concat([desktop.subarray(vertex.at, vertex.next), desktop.subarray(colour.at, colour.next)]).copy(copy, colour.at);
    });
    assert.match(swapped.mismatch ?? '', /desktop glColor3f\(.*\), browser glVertex3f\(/);

    // one vertex coordinate scaled by 1 + 1e-4, then by 1 + 1e-7
    const scaled = (factor) => changed((copy) => {
        const at = vertex.at + 2;
        copy.writeDoubleLE(desktop.readDoubleLE(at) * factor, at);
    });
    assert.match(scaled(1 + 1e-4).mismatch ?? '', /glVertex3f/);
    const near = scaled(1 + 1e-7);
    assert.equal(near.mismatch, null);
    assert.equal(near.differing, 1);

    // one rand() draw left out
    const draw = find(desktop, randKind, middle);
    const withoutDraw = compareStreams(desktop, Buffer.concat([desktop.subarray(0, draw.at), desktop.subarray(draw.next)]));
    assert.match(withoutDraw.mismatch ?? '', /desktop rand\(\) ->/);
});
