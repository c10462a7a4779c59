// The show in Debian's Chromium (headless) and Firefox (through puppeteer-core),
// from the site that scripts/web.sh builds: its pictures against the desktop
// capture's, the start screen, the music driving the scenes, the keys, the
// scaling onto the window, and what a person reads when something is wrong.
// Every test runs in each browser of DEMO_BROWSERS (both unless set).

import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { after, afterEach, before, describe, test } from 'node:test';

import {
    browserNames, captureShow, launchBrowser, openPage, pictureDifference, replay, screen, serveSite, site, waitFor,
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

    test('the reduced-flashing start shows the capture\'s --reduce-flashing picture, and reduced motion chooses it', async (t) => {
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
    });

    test('from the start screen the show follows the music to the quit order, then the start screen returns', async () => {
        const page = await open();
        assert.deepEqual(await screen(page),
            { state: 'ready', startScreen: true, canvas: false, message: 'click or press a key to start' });
        assert.match(await page.$eval('#notice', (notice) => notice.checkVisibility() && notice.textContent),
            /^This show contains fast flickering and flashing images that may affect viewers with photosensitive epilepsy: .*“Play with reduced flashing”/);

        await page.click('#start');
        assert.equal((await screen(page)).canvas, true);
        await waitFor(page, () => window.boxdemoTest.musicPlaying(), 'the music to play');
        assert.equal(await page.evaluate(() => window.boxdemoTest.sceneRow()), 0);

        // four rows before order 2: scene 2 begins when the music gets there
        await page.evaluate(() => window.boxdemoTest.seek(1, 60));
        await waitFor(page, () => window.boxdemoTest.sceneRow() === 1, 'scene 2');
        await page.evaluate(() => window.boxdemoTest.seek(11, 60));
        await waitFor(page, () => document.body.dataset.state === 'ready', 'the start screen');
        assert.equal(await page.evaluate(() => window.boxdemoTest.sceneRow()), 6, 'ended at the quit row');
        assert.equal(await page.evaluate(() => window.boxdemoTest.musicPlaying()), false);
        assert.deepEqual(await screen(page),
            { state: 'ready', startScreen: true, canvas: false, message: 'click or press a key to start' });

        // and again, from the top
        await page.keyboard.press(' ');
        await waitFor(page, () => window.boxdemoTest.musicPlaying(), 'the music to play again');
        assert.equal(await page.evaluate(() => window.boxdemoTest.sceneRow()), 0);
    });

    test('the song\'s end ends the show even when no frames are drawn, as in a hidden tab', async () => {
        const page = await open();
        await page.click('#start');
        await waitFor(page, () => window.boxdemoTest.musicPlaying(), 'the music to play');
        await page.evaluate(() => {
            window.requestAnimationFrame = () => 0; // no more frames
        });
        await new Promise((resolve) => setTimeout(resolve, 200)); // the frame already asked for is drawn
        const row = await page.evaluate(() => window.boxdemoTest.sceneRow());
        await page.evaluate(() => window.boxdemoTest.seek(12, 28)); // the last rows of the song
        await waitFor(page, () => document.body.dataset.state === 'ready', 'the start screen');
        assert.equal(await page.evaluate(() => window.boxdemoTest.sceneRow()), row, 'no frame saw the quit order');
        assert.equal(await page.evaluate(() => window.boxdemoTest.musicPlaying()), false);
    });

    test('a key that types a character ends the show; arrows and modifiers do not', async () => {
        const page = await open();
        await page.click('#start');
        for (const key of ['ArrowLeft', 'F2', 'Shift']) await page.keyboard.press(key);
        await new Promise((resolve) => setTimeout(resolve, 200));
        assert.equal((await screen(page)).state, 'show');
        await page.keyboard.press('q');
        assert.deepEqual(await screen(page),
            { state: 'ready', startScreen: true, canvas: false, message: 'click or press a key to start' });
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
        };
        const cases = [
            [{ intercept: answer('demosong.it', { status: 404, body: 'no' }) },
                'The demo cannot start: its data file demosong.it is missing (the server answered 404 Not Found).'],
            [{ intercept: answer('demosong.it', { status: 200, body: song.subarray(0, 600).reverse() }) },
                'The demo cannot start: its data file demosong.it is not a module the player can read.'],
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
                await page.click('#start');
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
