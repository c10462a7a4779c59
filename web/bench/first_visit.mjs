// The first visit's time to the start screen in Chromium over a throttled
// link (DevTools' network emulation, 1.6 and 9 Mbit/s down, 40 ms each
// way): from the address opened to the Play button showing, nothing cached,
// with the bytes the page's own requests fetched. Run after scripts/web.sh --build-only:
//   node web/bench/first_visit.mjs

import { launchBrowser, serveSite } from '../../tests/web/browser_support.mjs';

const links = [1.6, 9];

const server = await serveSite();
const chromium = await launchBrowser('chromium');
try {
    console.log('| link | time to the start screen | bytes fetched |');
    console.log('|---|---|---|');
    for (const mbits of links) {
        const context = await chromium.browser.createBrowserContext();
        const page = await context.newPage();
        await page.emulateNetworkConditions({ download: (mbits * 1e6) / 8, upload: (mbits * 1e6) / 8, latency: 40 });
        const start = Date.now();
        await page.goto(server.url);
        await page.waitForFunction(() => document.body.dataset.state === 'ready', { timeout: 120000, polling: 50 });
        const seconds = (Date.now() - start) / 1000;
        // what the page's own requests brought (the audio worklet's module
        // and its libopenmpt are fetched by the audio thread, outside these)
        const bytes = await page.evaluate(() => performance.getEntriesByType('navigation')
            .concat(performance.getEntriesByType('resource')).reduce((sum, entry) => sum + entry.decodedBodySize, 0));
        console.log(`| ${mbits} Mbit/s | ${seconds.toFixed(1)} s | ${(bytes / 1e6).toFixed(2)} MB |`);
        await context.close();
    }
} finally {
    await chromium.close();
    server.close();
}
