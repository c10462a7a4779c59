// The page's song player (web/song_player.js) over a stand-in for chiptune3
// that reports positions as its worklet does: the position heard, the end of
// a song played once, and a looping song starting over.

import assert from 'node:assert/strict';
import { test } from 'node:test';

import { SongPlayer } from '../../web/song_player.js';

// The song's timeline: 64-row orders of 7.68 s (a row every 0.12 s); order
// 12, the last, has 32 rows.
const rowSeconds = 0.12;
const lastOrder = 12;
const songSeconds = (lastOrder * 64 + 32) * rowSeconds;
const packed = (order, row) => (order | (row << 16)) >>> 0;
function positionAt(seconds) {
    const rows = Math.floor(seconds / rowSeconds + 1e-9);
    return packed(Math.floor(rows / 64), rows % 64);
}

class FakeChiptune {
    constructor(outputLatency) {
        this.handlers = {};
        this.context = { outputLatency, baseLatency: 0, currentTime: 0, resume() {} };
        this.gain = { gain: { cancelScheduledValues() {}, setValueAtTime() {} } };
        this.messages = [];
    }
    onInitialized(f) { this.handlers.initialized = f; }
    onProgress(f) { this.handlers.progress = f; }
    onEnded(f) { this.handlers.ended = f; }
    onError(f) { this.handlers.error = f; }
    onMetadata(f) { this.handlers.metadata = f; }
    setRepeatCount(n) { this.messages.push(`repeatCount ${n}`); }
    play() { this.messages.push('play'); }
    pause() { this.messages.push('pause'); }
    stop() { this.messages.push('stop'); }
    setOrderRow(order, row) { this.messages.push(`setOrderRow ${order} ${row}`); }
    // One report per 128-frame block at 48 kHz, from `from` to `to` seconds.
    render(from, to) {
        for (let t = from; t < to; t += 128 / 48000) {
            const p = positionAt(t);
            this.handlers.progress({ pos: t, order: p & 0xffff, row: p >>> 16 });
        }
    }
}

function playing(loop, outputLatency = 0.05) {
    const chiptune = new FakeChiptune(outputLatency);
    const song = new SongPlayer(chiptune);
    let ends = 0;
    song.onEnd = () => ++ends;
    song.load(new Uint8Array(16), loop);
    song.play();
    return { chiptune, song, ends: () => ends };
}

test('the position heard is the one rendered one output latency of song time earlier', () => {
    const { chiptune, song } = playing(false);
    assert.deepEqual(chiptune.messages, ['repeatCount 0', 'play']);
    assert.equal(song.heardPosition(), 0, 'order 0, row 0 before the first report');
    for (const seconds of [3.2, 7.7, 15.35, 40.0]) {
        chiptune.render(seconds - 0.2, seconds);
        const heard = song.heardPosition();
        assert.ok(heard === positionAt(seconds - 0.05) || heard === positionAt(seconds - 0.06),
            `at ${seconds} s heard order ${heard & 0xffff} row ${heard >>> 16}`);
    }
});

test('a song played once ends once, and its last report of order 0 is not taken for the top', () => {
    const { chiptune, song, ends } = playing(false, 0);
    chiptune.render(0, songSeconds);
    assert.equal(song.heardPosition(), packed(lastOrder, 31));
    // what libopenmpt reports after the last row, then the worklet's end on every block
    chiptune.handlers.progress({ pos: 0, order: 0, row: 0 });
    for (let i = 0; i < 3; ++i) chiptune.handlers.ended();
    assert.equal(song.heardPosition(), packed(lastOrder, 31));
    assert.equal(ends(), 1);
});

test('a looping song starts over at order 0', () => {
    const { chiptune, song, ends } = playing(true, 0);
    assert.deepEqual(chiptune.messages, ['repeatCount -1', 'play']);
    chiptune.render(0, songSeconds);
    chiptune.render(0, 1);
    assert.equal(song.heardPosition(), positionAt(1 - 128 / 48000));
    assert.equal(ends(), 0);
});

test('after a seek the target is heard from the target on: earlier reports from its row\'s start are skipped', () => {
    const { chiptune, song } = playing(false, 0);
    chiptune.render(0, 3);
    // libopenmpt moves to the start of the row holding 20.05 s (20.04 s)
    // and renders on from there
    song.seekTo(20.05, positionAt(20.05));
    assert.equal(chiptune.messages.at(-1), 'setOrderRow 2 39');
    assert.equal(song.heardPosition(), positionAt(20.05), 'the target is heard before any report');
    assert.equal(song.targetReached(), false);
    chiptune.render(20.04, 20.049);
    assert.equal(song.seekLanding, null, 'reports before the target are not taken');
    chiptune.render(20.05, 20.2);
    assert.ok(song.seekLanding >= 20.05 && song.seekLanding < 20.05 + 128 / 48000);
});
