// Times a cold first visit to the browser edition on a phone's link and CPU in Debian's Chromium, and counts what it fetches.
//
// usage: node bench/web_start.mjs [SITE_DIR] [RUNS]   (SITE_DIR: build/web/site, from cmake --workflow --preset web)
//
// Each run is a new browser context with nothing cached, served
// gzip-compressed from a loopback server, on Lighthouse's mobile profile as
// DevTools applies it: a round trip of 150 ms, 1.6 Mbit/s down, 750 kbit/s
// up, and the CPU slowed down 4 times.  Timed in the page, from the start of
// the navigation (performance.now()): when the level prompt stands in the
// transcript; then, after a tap on 1, from the Enter key's click to the
// level's settings in the transcript, and to the frame that shows them.
// Counted at the server: the bytes of the bodies it sent, as sent, until the
// service worker has kept the site, the icons apart.  Prints each run and
// the medians.

import {openBrowser} from '../tests/web/drivers.mjs';
import {Player} from '../tests/web/scenarios.mjs';
import {serveSite} from '../tests/web/site_server.mjs';

const siteDir = process.argv[2] || 'build/web/site';
const RUNS = Number(process.argv[3] || 5);
const ROUND_TRIP_MS = 150;
const DOWN_BYTES_PER_S = 1.6e6 / 8;
const UP_BYTES_PER_S = 750e3 / 8;
const CPU_SLOWDOWN = 4;

// Notes, in the page, when the prompt and the settings first stand in the
// transcript, when the Enter key is clicked, and the frame after the settings.
// `startTimes.reached(name)` resolves once `name` is noted: the bench waits in
// the page rather than asking it again and again, which would take the CPU
// from the page it times.
const WATCH = `window.startTimes = {};
    {
        const waiting = {};
        const note = (name) => {
            if (startTimes[name] === undefined) {
                startTimes[name] = performance.now();
                (waiting[name] || []).forEach((resolve) => resolve());
            }
        };
        startTimes.reached = (name) => new Promise((resolve) => {
            if (startTimes[name] !== undefined)
                resolve();
            else
                (waiting[name] ||= []).push(resolve);
        });
        new MutationObserver(() => {
            const text = document.getElementById('transcript')?.textContent || '';
            if (text.endsWith('難易度:'))
                note('prompt');
            if (text.includes('難易度  :easy') && startTimes.settings === undefined) {
                note('settings');
                requestAnimationFrame(() => note('shown'));
            }
        }).observe(document, {childList: true, subtree: true, characterData: true});
        addEventListener('click', (event) => {
            if (event.target.closest?.('#keypad .enter'))
                note('enter');
        }, {capture: true});
    }`;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const site = await serveSite(siteDir, {gzip: true});
const browser = await openBrowser('chromium');
const results = [];
try {
    for (let run = 0; run < RUNS; run++) {
        const page = await browser.newPage('Pixel 7');
        const cdp = await page.context.newCDPSession(page.page);
        await cdp.send('Network.enable');
        await cdp.send('Network.emulateNetworkConditions', {
            offline: false, latency: ROUND_TRIP_MS, downloadThroughput: DOWN_BYTES_PER_S, uploadThroughput: UP_BYTES_PER_S});
        await cdp.send('Emulation.setCPUThrottlingRate', {rate: CPU_SLOWDOWN});
        await page.page.addInitScript(WATCH);
        const sentBefore = {...site.bytesByPath};
        await page.goto(site.url);
        await page.evaluate(() => startTimes.reached('prompt'));
        const player = new Player(page, null, site);
        await player.waitForSiteKept();
        const fetched = Object.entries(site.bytesByPath)
            .filter(([path]) => !/icon/.test(path))
            .reduce((sum, [path, bytes]) => sum + bytes - (sentBefore[path] || 0), 0);
        await page.tap('1');
        await page.tap('入力 Enter');
        await page.evaluate(() => startTimes.reached('shown'));
        const times = await page.evaluate(() => startTimes);
        results.push({prompt: times.prompt, answer: times.settings - times.enter, shown: times.shown - times.enter, fetched});
        console.log(`run ${run + 1}: prompt at ${times.prompt.toFixed(0)} ms; settings ${(times.settings - times.enter).toFixed(1)} ms ` +
                    `after the Enter key's click, drawn after ${(times.shown - times.enter).toFixed(1)} ms; ` +
                    `${fetched} bytes fetched, icons apart`);
        await cdp.detach();
        await page.close();
    }
} finally {
    await browser.close();
    await site.close();
}
console.log(`median of ${RUNS}: prompt at ${median(results.map((r) => r.prompt)).toFixed(0)} ms; ` +
            `settings after ${median(results.map((r) => r.answer)).toFixed(1)} ms, drawn after ` +
            `${median(results.map((r) => r.shown)).toFixed(1)} ms; ${median(results.map((r) => r.fetched))} bytes fetched`);
