// What the browser tests share: the site served from this process, Debian's
// Chromium and Firefox driven by puppeteer-core, the page's test hook, and
// the desktop capture's frames to hold the page's pictures against.

import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { createRequire } from 'node:module';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const nativeBuild = process.env.DEMO_NATIVE_BUILD ?? path.join(root, 'build-web/native');
export const site = process.env.DEMO_SITE ?? path.join(root, 'build-web/site');
const puppeteer = createRequire(path.join(root, 'web/package.json'))('puppeteer-core');

// The flags the show needs headless: WebGL2 from SwiftShader, audio without a
// click, and none of Chromium's own connections, which this network refuses.
export const chromiumFlags = [
    '--no-sandbox', '--no-first-run', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--disable-quic', '--enable-unsafe-swiftshader', '--autoplay-policy=no-user-gesture-required',
];

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

// Serves folder (the site unless given) on a free port of 127.0.0.1, with
// headers added to every answer.
export async function serveSite(folder = site, headers = {}) {
    const server = createServer((request, response) => {
        const name = path.normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
        const file = path.join(folder, name === '/' ? 'index.html' : name);
        try {
            const body = readFileSync(file);
            response.writeHead(200, { ...headers, 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream' });
            response.end(body);
        } catch {
            response.writeHead(404, { 'Content-Type': 'text/plain' });
            response.end('not found');
        }
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    return { url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() };
}

// The browsers the tests run in: DEMO_BROWSERS, or both.
export const browserNames = (process.env.DEMO_BROWSERS ?? 'chromium firefox').split(/[\s,]+/).filter(Boolean);

// Chromium headless, with its own profile.
async function launchChromium() {
    const profile = mkdtempSync(path.join(tmpdir(), 'boxdemo-chromium-'));
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
        headless: true,
        userDataDir: profile,
        args: chromiumFlags,
        protocolTimeout: 600000, // the benchmark's one long call
    });
    return {
        browser,
        close: async () => {
            await browser.close();
            rmSync(profile, { recursive: true, force: true });
        },
    };
}

// Firefox (over WebDriver BiDi, in a profile puppeteer makes and removes).
// NOTE: headless, Firefox offers no WebGL2 here; in a window on an X display
// it draws with Mesa. Run through scripts/with-display-and-sound.sh, it gets
// a private display and a sound server; there, nothing switches the window to
// full screen, so the full-screen transition must take no time or a click
// that asks for full screen is never done.
async function launchFirefox() {
    if (!process.env.DISPLAY) {
        throw new Error('Firefox needs an X display and a sound server: run through scripts/with-display-and-sound.sh');
    }
    const browser = await puppeteer.launch({
        browser: 'firefox',
        executablePath: process.env.FIREFOX ?? '/usr/bin/firefox-esr',
        headless: false,
        extraPrefsFirefox: {
            'full-screen-api.transition-duration.enter': '0 0',
            'full-screen-api.transition-duration.leave': '0 0',
            'full-screen-api.warning.timeout': 0,
        },
        protocolTimeout: 600000,
    });
    return { browser, close: () => browser.close() };
}

export function launchBrowser(name) {
    if (name === 'chromium') return launchChromium();
    if (name === 'firefox') return launchFirefox();
    throw new Error(`no browser called ${name} (DEMO_BROWSERS: chromium, firefox)`);
}

// A page of the site with the test hook, at url (the site's address, or the
// page's file), loaded: the start screen or a problem showing.
// options.width/height: the window; options.touch: a phone's touch screen;
// options.hash: the address's #fields; options.reducedMotion: the system asks
// for reduced motion; options.intercept: (request) => true when
// it answered the request itself; options.beforeLoad: a function run in the
// page before its scripts. The console's errors are collected in
// page.consoleErrors.
export async function openPage(browser, url, options = {}) {
    const page = await browser.newPage();
    await page.setViewport({
        width: options.width ?? 640, height: options.height ?? 480, hasTouch: options.touch ?? false, isMobile: options.touch ?? false,
    });
    page.consoleErrors = [];
    page.on('console', (m) => m.type() === 'error' && page.consoleErrors.push(m.text()));
    if (options.intercept) {
        await page.setRequestInterception(true);
        page.on('request', (request) => options.intercept(request) || request.continue());
    }
    if (options.beforeLoad) await page.evaluateOnNewDocument(options.beforeLoad);
    if (options.reducedMotion) {
        // NOTE: Firefox, driven over WebDriver BiDi, cannot emulate media
        // features; there the page's matchMedia answers the query as a
        // system asking for reduced motion would.
        await page.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]).catch(() =>
            page.evaluateOnNewDocument(() => {
                const real = window.matchMedia.bind(window);
                window.matchMedia = (query) => (/prefers-reduced-motion:\s*reduce/.test(query)
                    ? { matches: true, media: query, addEventListener() {}, removeEventListener() {} }
                    : real(query));
            }));
    }
    await page.goto(`${url}?test${options.hash ?? ''}`);
    await page.waitForFunction(() => document.body.dataset.state !== 'loading');
    return page;
}

// What a person sees: the page's state and the start screen's sentence.
export function screen(page) {
    return page.evaluate(() => ({
        state: document.body.dataset.state,
        startScreen: !document.getElementById('start').hidden,
        canvas: !document.getElementById('show').hidden,
        message: document.getElementById('message').textContent,
    }));
}

// Starts the show with a start button (#play, or #play-reduced) and waits
// for its music.
export async function startShow(page, button = '#play') {
    await page.click(button);
    await waitFor(page, () => window.boxdemoTest.musicPlaying(), 'the music to play');
}

// The show's clock, music and scene, as the page's hook reads them.
export function showClock(page) {
    return page.evaluate(() => ({
        clockMs: window.boxdemoTest.clockMs(),
        musicSeconds: window.boxdemoTest.musicSeconds(),
        row: window.boxdemoTest.sceneRow(),
        playing: window.boxdemoTest.musicPlaying(),
    }));
}

export const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The last seek's frame and picture (top-down RGB), and where the song
// landed after it.
export async function lastSeek(page) {
    const seek = await page.evaluate(() => window.boxdemoTest.seeks[0]);
    return { frame: seek.frame, picture: topDownRgb(Buffer.from(seek.picture, 'base64'), seek.width, seek.height) };
}

export async function waitFor(page, condition, what, limitMs = 10000, ...args) {
    await page.waitForFunction(condition, { timeout: limitMs, polling: 50 }, ...args).catch(() => {
        throw new Error(`waited ${limitMs} ms for ${what}`);
    });
}

// Replays the show from the top on the page, one step per capture frame,
// and gives the drawn frames' canvas pictures as top-down RGB.
export async function replay(page, steps, drawn) {
    const result = await page.evaluate((s, d) => window.boxdemoTest.replay(s, d), steps, drawn);
    const pictures = {};
    for (const [index, data] of Object.entries(result.pictures)) {
        pictures[index] = topDownRgb(Buffer.from(data, 'base64'), result.width, result.height);
    }
    return { ...result, pictures };
}

// Bottom-up RGBA, as WebGL reads it, to top-down RGB, as a PNG holds it.
function topDownRgb(rgba, width, height) {
    const rgb = Buffer.alloc(width * height * 3);
    for (let y = 0; y < height; ++y) {
        for (let x = 0; x < width; ++x) {
            const from = ((height - 1 - y) * width + x) * 4;
            rgba.copy(rgb, (y * width + x) * 3, from, from + 3);
        }
    }
    return rgb;
}

// The desktop capture at fps frames a second: its timeline (frame, clockMs,
// position, scene, elapsedMs for every frame) and, as top-down RGB, the
// frames listed in `only`, at size (scaled as the desktop's full screen
// scales its picture), with the capture's further options.
export function captureShow(fps, only, size = '640x480', options = []) {
    const folder = mkdtempSync(path.join(tmpdir(), 'boxdemo-capture-'));
    try {
        execFileSync(path.join(root, 'scripts/with-display.sh'), [
            path.join(nativeBuild, 'demo-capture'), '--quiet', '--fps', String(fps), '--size', size,
            '--module', path.join(nativeBuild, 'demosong.it'), '--font', path.join(nativeBuild, 'fontpre.tga'),
            '--timeline', path.join(folder, 'timeline.txt'), '--only', only.join(','), '-o', path.join(folder, 'frames'),
            ...options,
        ]);
        const timeline = readFileSync(path.join(folder, 'timeline.txt'), 'utf8').split('\n')
            .filter((line) => line && !line.startsWith('#'))
            .map((line) => {
                const [frame, clockMs, order, row, scene, elapsedMs] = line.split(' ').map(Number);
                return { frame, clockMs, position: order | (row << 16), scene, elapsedMs };
            });
        const frames = {};
        for (const n of only) {
            const png = path.join(folder, 'frames', `frame-${String(n).padStart(6, '0')}.png`);
            frames[n] = execFileSync('convert', [png, '-depth', '8', 'rgb:-'], { maxBuffer: 1 << 24 });
        }
        return { timeline, frames };
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

// How two top-down RGB pictures of the same size differ: pixels whose
// largest channel difference exceeds tolerance, and the largest difference.
export function pictureDifference(a, b, tolerance) {
    let pixels = 0;
    let largest = 0;
    for (let i = 0; i < a.length; i += 3) {
        const d = Math.max(Math.abs(a[i] - b[i]), Math.abs(a[i + 1] - b[i + 1]), Math.abs(a[i + 2] - b[i + 2]));
        if (d > tolerance) ++pixels;
        largest = Math.max(largest, d);
    }
    return { pixels, largest };
}
