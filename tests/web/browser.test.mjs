// The show in Debian's Chromium (headless) and Firefox (through puppeteer-core),
// from the site that scripts/web.sh builds: its pictures against the desktop
// capture's, the start and end screens, the music driving the scenes, the
// player (pause, exact seeks, links, keys, full screen, taps, a hidden tab),
// the scaling onto the window, and what a person reads when something is wrong.
// Every test runs in each browser of DEMO_BROWSERS (both unless set).

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { after, afterEach, before, describe, test } from 'node:test';

import {
    browserNames, captureShow, lastSeek, launchBrowser, openPage, pause, pictureDifference, replay, screen, serveSite,
    showClock, site, startShow, waitFor,
} from './browser_support.mjs';

// How far a frame may differ from the capture's: pixels whose largest
// channel difference exceeds channel, at most pixels of them.
// NOTE: Chromium's renderer (SwiftShader) places edges on a sixteenth of a
// pixel, Mesa's on a 256th, so an edge lying within a sixteenth of a pixel
// centre may cover that pixel in one and not the other: on the frames below
// up to a third of a percent of the pixels, along box edges; colours are
// otherwise equal. Firefox draws with Mesa, as the desktop capture does:
// every colour is the capture's exactly, but for one or two pixels in some
// frames where a box's edge or depth falls the other way (our layer
// transforms the vertices itself, Mesa's GL in its own order of operations).
// A picture one pixel off differs in 0.8 to 14 percent, a colour rounded
// differently in thousands of pixels.
const pictureTolerance = {
    chromium: { channel: 8, pixels: 0.005 * 640 * 480 },
    firefox: { channel: 0, pixels: 4 },
};

// The capture at 10 frames a second, made once for every browser.
const fps = 10;
let capture;
const capturedShow = () => (capture ??= captureShow(fps, Array.from({ length: 92 }, (_, i) => i * fps)));

// The desktop capture of frame `scalingFrame` at each window size, made once
// for every browser.
const scalingFrame = 50;
const scaledCaptures = {};
const seekCaptures = {};
const seekCapture = (rate, only) => (seekCaptures[only.join()] ??= captureShow(rate, only));
const scaledCapture = (size) => (scaledCaptures[size] ??= captureShow(fps, [scalingFrame], size).frames[scalingFrame]);

for (const browserName of browserNames) describe(`in ${browserName}`, () => {
    let server;
    let browser;
    before(async () => {
        server = await serveSite();
        browser = await launchBrowser(browserName);
    });
    after(async () => {
        await browser?.close();
        server?.close();
    });

    // Each test's pages, closed after it even when it fails, so that a show
    // left running does not slow the next test down.
    const pages = [];
    const open = async (options, url = server.url) => {
        const page = await openPage(browser.browser, url, options);
        pages.push(page);
        return page;
    };
    afterEach(async () => {
        await Promise.all(pages.splice(0).map((page) => page.close()));
    });

    test('each scene looks as the desktop capture draws it, frame for frame', async (t) => {
        // The capture's frames a second apart are the candidates; the page
        // replays the same clock and music positions from the top, so that
        // rand() has run through the same frames.
        const { timeline, frames } = capturedShow();
        const chosen = [[1, 2000], [3, 2000], [1, 5000], [2, 5000], [3, 5000], [4, 5000], [5, 5000], [6, 5000]]
            .map(([scene, ms]) => timeline.find((f) => f.scene === scene && f.elapsedMs >= ms && f.frame % fps === 0));
        assert.ok(chosen.every(Boolean), 'the capture shows every scene');

        const page = await open();
        const steps = timeline.slice(0, Math.max(...chosen.map((f) => f.frame)) + 1).map((f) => [f.clockMs, f.position]);
        const result = await replay(page, steps, chosen.map((f) => f.frame));
        assert.deepEqual(result.rows.map((row) => row + 1), timeline.slice(0, steps.length).map((f) => f.scene),
            'the page changes scenes at the frames the capture does');
        const { channel, pixels } = pictureTolerance[browserName];
        for (const f of chosen) {
            const difference = pictureDifference(frames[f.frame], result.pictures[f.frame], channel);
            const said = `scene ${f.scene} at ${f.elapsedMs} ms (frame ${f.frame}): ${difference.pixels} pixels differ by more than ${channel}`;
            t.diagnostic(said);
            assert.ok(difference.pixels <= pixels, said);
        }
    });

    test('the reduced-flashing start shows the capture\'s --reduce-flashing picture, reduced motion chooses it, the switch and R turn it off and on', async (t) => {
        const plain = await open();
        assert.equal(await plain.evaluate(() => window.boxdemoTest.reducedFlashing()), false);
        const page = await open({ reducedMotion: true });
        assert.deepEqual(await page.evaluate(() => [window.boxdemoTest.reducedFlashing(), document.activeElement.id]),
            [true, 'play-reduced'], 'under prefers-reduced-motion the reduced start is the chosen one');
        // Every frame of the first three seconds (scene 1's flicker), drawn
        // through the filter on both sides: the filter runs on drawn frames.
        const frames = Array.from({ length: 30 }, (_, i) => i);
        const reduced = captureShow(fps, frames, '640x480', ['--reduce-flashing']);
        const steps = reduced.timeline.slice(0, 30).map((f) => [f.clockMs, f.position]);
        const result = await replay(page, steps, frames);
        const { channel, pixels } = pictureTolerance[browserName];
        const difference = pictureDifference(reduced.frames[29], result.pictures[29], channel);
        t.diagnostic(`frame 29: ${difference.pixels} pixels differ by more than ${channel}`);
        assert.ok(difference.pixels <= pixels, 'the page filters as the capture does');
        const unfiltered = pictureDifference(capturedShow().frames[20], reduced.frames[20], 8);
        assert.ok(unfiltered.pixels > 1000, 'the filtered picture is not the plain one');

        // the start buttons side by side; the reduced one starts the show so,
        // the controls' switch and R turn the filter off and on during it
        const started = await open();
        assert.deepEqual(await started.$$eval('#start-buttons button', (buttons) => buttons.map((b) => b.id)),
            ['play', 'play-reduced']);
        await startShow(started, '#play-reduced');
        const flashing = () => started.evaluate(() =>
            [window.boxdemoTest.reducedFlashing(), document.getElementById('flashing').getAttribute('aria-pressed')]);
        assert.deepEqual(await flashing(), [true, 'true']);
        await started.click('#flashing');
        assert.deepEqual(await flashing(), [false, 'false']);
        await started.keyboard.press('r');
        assert.deepEqual(await flashing(), [true, 'true']);
        assert.equal((await screen(started)).state, 'show');
    });

    test('from the start button the show follows the music to the quit order and the end screen; watch again; #loop loops', async () => {
        const page = await open();
        assert.deepEqual(await screen(page),
            { state: 'ready', startScreen: true, canvas: false, message: 'click or press a key to start' });
        assert.match(await page.$eval('#notice', (notice) => notice.checkVisibility() && notice.textContent),
            /^This show contains fast flickering and flashing images that may affect viewers with photosensitive epilepsy: .*“Play with reduced flashing”/);
        assert.equal(await page.$eval('#play', (button) => button.tagName === 'BUTTON' && button.checkVisibility()), true);

        await startShow(page);
        assert.equal((await screen(page)).canvas, true);
        assert.equal(await page.evaluate(() => window.boxdemoTest.sceneRow()), 0);
        // four rows before order 2: scene 2 begins when the music gets there
        await page.evaluate(() => window.boxdemoTest.seek(1, 60));
        await waitFor(page, () => window.boxdemoTest.sceneRow() === 1, 'scene 2');
        await page.evaluate(() => window.boxdemoTest.seek(11, 60));
        await waitFor(page, () => document.body.dataset.state === 'ended', 'the end screen');
        assert.equal(await page.$eval('#end', (end) => end.checkVisibility()), true);
        assert.equal(await page.evaluate(() => window.boxdemoTest.sceneRow()), 6, 'ended at the quit row');
        assert.equal(await page.evaluate(() => window.boxdemoTest.musicPlaying()), false);

        // watch again, from the top
        await page.click('#again');
        await waitFor(page, () => window.boxdemoTest.musicPlaying(), 'the music to play again');
        assert.equal(await page.evaluate(() => window.boxdemoTest.sceneRow()), 0);

        // round and round: the quit order starts the show again
        const looping = await open({ hash: '#loop' });
        await startShow(looping);
        await looping.evaluate(() => window.boxdemoTest.seek(11, 60));
        await waitFor(looping, () => window.boxdemoTest.starts() === 2, 'the show from the top again');
        assert.equal((await screen(looping)).state, 'show');
        assert.equal(await looping.$eval('#end', (end) => end.checkVisibility()), false);
    });

    test('the song\'s end ends the show even when no frames are drawn, as in a hidden tab', async () => {
        const page = await open();
        await startShow(page);
        await page.evaluate(() => {
            window.requestAnimationFrame = () => 0; // no more frames
        });
        await pause(200); // the frame already asked for is drawn
        const row = await page.evaluate(() => window.boxdemoTest.sceneRow());
        await page.evaluate(() => window.boxdemoTest.seek(12, 28)); // the last rows of the song
        await waitFor(page, () => document.body.dataset.state === 'ended', 'the end screen');
        assert.equal(await page.evaluate(() => window.boxdemoTest.sceneRow()), row, 'no frame saw the quit order');
        assert.equal(await page.evaluate(() => window.boxdemoTest.musicPlaying()), false);
    });

    test('Space pauses picture and music together and resumes where they stopped; other keys do not end the show', async () => {
        const page = await open();
        await startShow(page);
        await waitFor(page, () => window.boxdemoTest.clockMs() > 500, 'half a second of show');
        await page.keyboard.press(' ');
        const stopped = await showClock(page);
        assert.equal(stopped.playing, false, 'the music stops');
        await pause(400);
        assert.deepEqual(await showClock(page), stopped, 'nothing moves while paused');
        await page.keyboard.press(' ');
        // (the music's next report may come a while after the picture's next
        // frame: Firefox is slow to start its audio again)
        await waitFor(page, (was) => window.boxdemoTest.clockMs() > was.clockMs &&
            window.boxdemoTest.musicSeconds() > was.musicSeconds, 'the show to go on', 10000, stopped);
        const going = await showClock(page);
        assert.ok(going.musicSeconds > stopped.musicSeconds && going.musicSeconds < stopped.musicSeconds + 2,
            `the music goes on from ${stopped.musicSeconds} s, not from the top (${going.musicSeconds} s)`);
        assert.equal(going.row, stopped.row);
        for (const key of ['q', 'Enter', 'F2', 'Shift', 'ArrowUp', 'm']) await page.keyboard.press(key);
        assert.equal((await screen(page)).state, 'show');
    });

    test('Escape leaves full screen and the show plays on; in a window it ends the show; a hidden and shown tab keeps it', async () => {
        const page = await open();
        await startShow(page);
        if (await page.evaluate(() => document.fullscreenElement !== null)) {
            await page.keyboard.press('f');
        }
        await waitFor(page, () => document.fullscreenElement === null, 'a window');
        await page.keyboard.press('f');
        await waitFor(page, () => document.fullscreenElement !== null, 'full screen');

        // another tab in front, then this one again: the browser may leave
        // full screen; the show goes on
        const before = await showClock(page);
        await page.evaluate(() => document.addEventListener('visibilitychange', () => {
            window.hiddenSeen ||= document.hidden;
        }));
        const other = await browser.browser.newPage();
        await other.bringToFront();
        await pause(300);
        await page.bringToFront();
        await other.close();
        if (await page.evaluate(() => document.fullscreenElement === null)) await page.keyboard.press('f');
        await waitFor(page, (was) => window.boxdemoTest.clockMs() > was + 300, 'the show to go on', 10000, before.clockMs);
        assert.equal(await page.evaluate(() => window.hiddenSeen), true, 'the tab was hidden');
        assert.equal((await screen(page)).state, 'show');
        assert.ok((await showClock(page)).musicSeconds > before.musicSeconds, 'the music went on, not from the top');

        await page.keyboard.press('Escape');
        await waitFor(page, () => document.fullscreenElement === null, 'full screen left');
        await pause(700);
        assert.equal((await screen(page)).state, 'show', 'leaving full screen keeps the show');
        await page.keyboard.press('Escape');
        await waitFor(page, () => document.body.dataset.state === 'ended', 'the end screen');
    });

    test('a seek while paused (keys 1 to 6, a link\'s #t=, arrows; with reduced flashing too) shows the capture\'s frame there, with the music there', async (t) => {
        const page = await open({ hash: '#t=1:05' });
        await waitFor(page, () => window.boxdemoTest.checkpointsBuilt(), 'the checkpoints', 120000);
        const starts = await page.evaluate(() => window.boxdemoTest.sceneStarts());
        const fps60 = await page.evaluate(() => window.boxdemoTest.fps());
        const linked = 65 * fps60;
        const arrowed = starts[2] + 5 * fps60;
        const { frames } = seekCapture(fps60, [...starts, linked, arrowed]);
        const { channel, pixels } = pictureTolerance[browserName];
        const holds = async (frame, how) => {
            const seek = await lastSeek(page);
            assert.equal(seek.frame, frame, how);
            const difference = pictureDifference(frames[frame], seek.picture, channel);
            const said = `${how}, frame ${frame}: ${difference.pixels} pixels differ by more than ${channel}`;
            t.diagnostic(said);
            assert.ok(difference.pixels <= pixels, said);
        };

        // the link's moment, playing; the music lands there
        await startShow(page);
        await holds(linked, '#t=1:05');
        await waitFor(page, () => window.boxdemoTest.musicLanding() !== null, 'the music at the link\'s moment');
        const landing = await page.evaluate(() => window.boxdemoTest.musicLanding());
        assert.ok(Math.abs(landing - 65) < 0.02, `the music lands at ${landing} s, not 65 s`);

        // in the 640x480 window, as the capture's frames are
        await page.keyboard.press('k');
        if (await page.evaluate(() => document.fullscreenElement !== null)) await page.keyboard.press('f');
        await waitFor(page, () => document.fullscreenElement === null && innerWidth === 640, 'the window');
        for (let scene = 1; scene <= 6; ++scene) {
            await page.keyboard.press(String(scene));
            await holds(starts[scene - 1], `key ${scene}`);
        }
        await page.keyboard.press('3');
        await page.keyboard.press('ArrowRight');
        await holds(arrowed, 'key 3, then the right arrow');
        assert.equal(await page.evaluate(() => window.boxdemoTest.paused()), true);
        assert.equal(await page.evaluate(() => window.boxdemoTest.frame()), arrowed);

        // with reduced flashing the filter starts again from a seek's frame:
        // turned on while paused, and a seek back, show the frames as they are
        await page.keyboard.press('r');
        await holds(arrowed, 'reduced flashing turned on while paused');
        await page.keyboard.press('2');
        await holds(starts[1], 'key 2 with reduced flashing');
    });

    test('on a phone held upright a tap shows the controls, a second pauses; the picture spans the width', async () => {
        const page = await open({ width: 390, height: 844, touch: true });
        await page.tap('#play');
        await waitFor(page, () => window.boxdemoTest.musicPlaying(), 'the music to play');
        // NOTE: Firefox's window keeps a least size, wider than a phone
        const box = await page.$eval('#show', (c) => ({
            width: c.clientWidth, height: c.clientHeight, pixels: c.width, window: [innerWidth, innerHeight],
        }));
        const [width, height] = box.window;
        if (height > width) {
            assert.ok(box.width === width && Math.abs(box.height - 0.75 * width) <= 1, `the picture is ${box.width}x${box.height}`);
        }
        assert.ok(box.pixels <= 2 * box.width, `the canvas is ${box.pixels} pixels wide`);
        await page.evaluate(() => {
            document.body.dataset.controls = 'hidden';
        });
        await page.tap('#show');
        assert.equal(await page.evaluate(() => document.body.dataset.controls), 'shown');
        assert.equal(await page.evaluate(() => window.boxdemoTest.paused()), false, 'the first tap only shows the controls');
        await page.tap('#show');
        assert.equal(await page.evaluate(() => window.boxdemoTest.paused()), true);
        assert.equal(await page.evaluate(() => window.boxdemoTest.musicPlaying()), false);
    });

    test('the picture fills the window at 4:3 between black bars, scaled as the desktop scales it', async () => {
        // The page replays the capture's clock and music up to a frame of
        // scene 1 in windows of twice the picture (letterboxed, one
        // nearest-neighbour copy) and of 2.1875 times (pillarboxed, the sharp
        // scaling program), against the desktop capture of that frame at the
        // window's size. Each differing pixel of the picture may spread to
        // the output pixels around it, up to sixteen.
        const { timeline } = capturedShow();
        const steps = timeline.slice(0, scalingFrame + 1).map((f) => [f.clockMs, f.position]);
        const { channel, pixels } = pictureTolerance[browserName];
        for (const [width, height] of [[1280, 1000], [1500, 1050]]) {
            const page = await open({ width, height });
            const result = await replay(page, steps, [scalingFrame]);
            assert.deepEqual([result.width, result.height], [width, height]);
            const difference = pictureDifference(scaledCapture(`${width}x${height}`), result.pictures[scalingFrame], channel);
            assert.ok(difference.pixels <= 16 * pixels,
                `${width}x${height}: ${difference.pixels} pixels differ by more than ${channel}, by up to ${difference.largest}`);
        }
    });

    test('a missing or broken data file, no WebGL2, audio that does not start, or a page opened from disc, is said in one sentence', async () => {
        const song = readFileSync(path.join(site, 'demosong.it'));
        const font = readFileSync(path.join(site, 'fontpre.tga'));
        const answer = (name, response) => (request) => request.url().endsWith(`/${name}`) && (request.respond(response), true);
        // What a person reads, on the page and in the console; a click does
        // not start the show.
        const says = async (page, sentence) => {
            assert.deepEqual(await screen(page), { state: 'broken', startScreen: true, canvas: false, message: sentence });
            assert.ok(page.consoleErrors.includes(sentence), `the console says: ${page.consoleErrors.join(' | ')}`);
            await page.click('#start');
            assert.equal((await screen(page)).state, 'broken', 'a click does not start it');
            assert.equal(await page.$$eval('#start-buttons button', (buttons) => buttons.some((b) => b.checkVisibility())), false);
        };
        const cases = [
            [{ intercept: answer('demosong.it', { status: 404, body: 'no' }) },
                'The demo cannot start: its data file demosong.it is missing (the server answered 404 Not Found).'],
            [{ intercept: answer('demosong.it', { status: 200, body: song.subarray(0, 600).reverse() }) },
                'The demo cannot start: its data file demosong.it is not a module the player can read.'],
            // a song cut short, which would otherwise play its 92 s in silence
            [{ intercept: answer('demosong.it', { status: 200, body: song.subarray(0, 3000) }) },
                'The demo cannot start: its data file demosong.it is not a module the player can read.'],
            [{ intercept: (request) => request.url().endsWith('/demosong.it'), beforeLoad: () => {
                window.boxdemoFetchLimitMs = 1500;
            } }, 'The demo cannot start: its data file demosong.it could not be fetched (no answer within 1.5 s).'],
            [{ intercept: answer('fontpre.tga', { status: 200, body: font.subarray(0, 100) }) },
                'The demo cannot start: its data file fontpre.tga is 100 bytes long; a 256x64 font image is 17170 bytes.'],
            [{ beforeLoad: () => {
                const getContext = HTMLCanvasElement.prototype.getContext;
                HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
                    return kind === 'webgl2' ? null : getContext.call(this, kind, ...rest);
                };
            } }, 'This browser cannot show the demo: it gives no WebGL2.'],
            // the audio held suspended, as a browser with no sound device or
            // server keeps it: said a few seconds after the click
            [{ clicked: true, beforeLoad: () => {
                window.AudioContext = class extends window.AudioContext {
                    constructor(...rest) {
                        super(...rest);
                        this.suspend();
                    }

                    resume() {
                        return Promise.resolve();
                    }
                };
            } }, 'The demo cannot start: this browser\'s audio did not start (is a sound device or sound server available?).'],
        ];
        for (const [options, sentence] of cases) {
            const page = await open(options);
            if (options.clicked) {
                await page.click('#play');
                await waitFor(page, () => document.body.dataset.state !== 'show', 'the show to stop', 15000);
            }
            await says(page, sentence);
        }

        // Opened from disc: Chromium runs no module script from there; Firefox
        // runs the page as if served.
        const fromDisc = await open({}, pathToFileURL(path.join(site, 'index.html')).href);
        if (browserName === 'firefox') assert.equal((await screen(fromDisc)).state, 'ready');
        else {
            await says(fromDisc,
                'The demo cannot start: opened from disc, the page must be served instead (scripts/web.sh serves it and prints its address).');
        }
    });
});
