// The browser benchmark's driver (run.sh builds first): runs bench.js in
// headless Chromium and in Firefox (each browser of DEMO_BROWSERS, both
// unless set), and the desktop benchmark's frame times with Mesa's llvmpipe
// (demo-bench-render) on the same machine, and prints the README's speed
// table, milliseconds unless said.

import { execFileSync } from 'node:child_process';
import path from 'node:path';

import { browserNames, launchBrowser, nativeBuild, root, serveSite } from '../../tests/web/browser_support.mjs';

const benchFolder = process.env.DEMO_BENCH_DIR ?? path.join(root, 'build-web/bench');
const browserTitles = { chromium: 'Chromium', firefox: 'Firefox' };

// NOTE: a cross-origin isolated page gets a finer clock from performance.now.
const server = await serveSite(benchFolder, {
    'Cross-Origin-Opener-Policy': 'same-origin',
    'Cross-Origin-Embedder-Policy': 'require-corp',
});
const results = {};
try {
    for (const name of browserNames) {
        const browser = await launchBrowser(name);
        try {
            const page = await browser.browser.newPage();
            await page.setViewport({ width: 640, height: 480 });
            await page.goto(`${server.url}bench.html`);
            await page.waitForFunction(() => window.runBench);
            results[name] = await page.evaluate(() => window.runBench());
        } finally {
            await browser.close();
        }
    }
} finally {
    server.close();
}

// "frame-time sceneN median p99 cpuMedian cpuP99" per scene
const native = {};
const output = execFileSync(path.join(root, 'scripts/with-display.sh'), [
    path.join(nativeBuild, 'bench/demo-bench-render'), path.join(nativeBuild, 'fontpre.tga'),
], { encoding: 'utf8' });
for (const line of output.split('\n')) {
    const [kind, scene, median] = line.split(' ');
    if (kind === 'frame-time') native[scene] = Number(median);
}

const names = ['cube cluster', 'five-lobed shell', 'cube tunnel', 'particle fountain', 'greetings', 'rippling sphere'];
const ms = (value) => (value < 1 ? value.toFixed(2) : value.toFixed(1));
console.log('| Scene | browser | frames per second | frame time back to back | frame time waited for, median / 99th percentile | our layer\'s CPU time | scene code alone | WebGL draw calls per frame | floor: one draw call | frame ÷ floor | desktop (llvmpipe) frame time |');
console.log('|---|---|---|---|---|---|---|---|---|---|---|');
for (let scene = 1; scene <= 6; ++scene) {
    for (const name of browserNames) {
        const s = results[name][scene - 1];
        console.log(`| ${s.scene} ${names[s.scene - 1]} | ${browserTitles[name]} | ${(1000 / s.backToBackMs).toFixed(0)} | ${ms(s.backToBackMs)} | ${ms(s.frameMs)} / ${ms(s.frameMs99)} | ${ms(s.layerMs)} | ${ms(s.sceneMs)} | ${s.drawCalls} | ${ms(s.floorMs)} | ${(s.backToBackMs / s.floorMs).toFixed(2)} | ${ms(native[`scene${s.scene}`])} |`);
    }
}
