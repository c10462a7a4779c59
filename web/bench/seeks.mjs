// The seek benchmark: in each browser of DEMO_BROWSERS (both unless set),
// the site's page with its test hook, the show started and paused once its
// checkpoints are built, then 50 seeks to random moments of the show, each
// timed from the call to the new picture drawn (a one-pixel read waits for
// the browser's renderer). Prints the median and the 95th percentile, in
// milliseconds. Run through run.sh, or after scripts/web.sh --build-only:
//   scripts/with-display-and-sound.sh node web/bench/seeks.mjs

import { browserNames, launchBrowser, openPage, serveSite, startShow, waitFor } from '../../tests/web/browser_support.mjs';

const seeks = 50;
const browserTitles = { chromium: 'Chromium', firefox: 'Firefox' };

// Nearest rank.
function percentile(values, p) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.max(0, Math.ceil(p * sorted.length) - 1)];
}

const server = await serveSite();
try {
    console.log('| browser | seeks | median | 95th percentile | slowest |');
    console.log('|---|---|---|---|---|');
    for (const name of browserNames) {
        const browser = await launchBrowser(name);
        try {
            const page = await openPage(browser.browser, server.url, { width: 1280, height: 960 });
            await startShow(page);
            await page.keyboard.press(' ');
            await waitFor(page, () => window.boxdemoTest.checkpointsBuilt(), 'the checkpoints', 120000);
            // the same moments in every browser: a fixed sequence
            let state = 12345;
            const random = () => (state = (state * 1103515245 + 12345) % 2147483648) / 2147483648;
            const frames = await page.evaluate(() => window.boxdemoTest.showFrames());
            const times = [];
            for (let i = 0; i < seeks; ++i) {
                times.push(await page.evaluate((frame) => window.boxdemoTest.timedSeek(frame), Math.floor(random() * frames)));
            }
            const ms = (value) => value.toFixed(1);
            console.log(`| ${browserTitles[name]} | ${seeks} | ${ms(percentile(times, 0.5))} | ${ms(percentile(times, 0.95))} | ${ms(Math.max(...times))} |`);
        } finally {
            await browser.close();
        }
    }
} finally {
    server.close();
}
