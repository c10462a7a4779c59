// Makes the pictures of the show in a browser for the docs, with headless
// Chromium:
//   docs/web.png           a window wider than 4:3, the greetings scene five
//                          seconds in, reached through the page's test hook
//                          (the clock and the music positions set, no music);
//   docs/web-controls.png  the player paused (K), then moved to the
//                          greetings scene (5) and ten seconds on (L), its
//                          controls showing: exact seeks, so the same
//                          picture on every run.
//
//   scripts/web.sh --build-only && scripts/with-display-and-sound.sh node web/screenshot.mjs
//
// Needs Chromium (scripts/web.sh --test installs it).

import path from 'node:path';

import { launchBrowser, openPage, root, serveSite, startShow } from '../tests/web/browser_support.mjs';

const width = 960;
const height = 540;
// The show from the top: one frame in each of scenes 1 to 4, then scene 5
// (orders 8 and 9) five seconds after it began.
const steps = [[0, 0], [10, 2], [20, 4], [30, 6], [40, 8], [5040, 8]];

const server = await serveSite();
const chromium = await launchBrowser('chromium');
try {
    const page = await openPage(chromium.browser, server.url, { width, height });
    await page.evaluate((s) => window.boxdemoTest.replay(s, [s.length - 1]), steps);
    const file = path.join(root, 'docs/web.png');
    await page.screenshot({ path: file });
    console.log(`${path.relative(root, file)}: the greetings scene in a ${width}x${height} window`);

    const player = await openPage(chromium.browser, server.url, { width, height });
    await startShow(player);
    await player.evaluate(() => document.fullscreenElement && document.exitFullscreen());
    for (const key of ['k', '5', 'l']) await player.keyboard.press(key);
    await player.mouse.move(width / 2, height / 2);
    const controls = path.join(root, 'docs/web-controls.png');
    await player.screenshot({ path: controls });
    console.log(`${path.relative(root, controls)}: the player paused in the greetings scene, its controls showing`);
} finally {
    await chromium.close();
    server.close();
}
